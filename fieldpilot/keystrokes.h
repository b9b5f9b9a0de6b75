// Synthesised key presses: finding the key that types a character in the current keyboard layout,
// Command shortcuts, and plain presses of keys without text (arrows, Delete).
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace fieldpilot {

using KeyCode = std::uint16_t;

// US-layout key codes, the fallbacks when the current layout cannot tell.
inline constexpr KeyCode kUsKeyA = 0;
inline constexpr KeyCode kUsKeyC = 8;
inline constexpr KeyCode kUsKeyV = 9;
// Keys that type no text and sit at the same code on every layout.
inline constexpr KeyCode kDeleteKey = 51;
inline constexpr KeyCode kRightArrowKey = 124;

// The lowest key code whose key-down with Command held types exactly `wanted` (one UTF-16 unit)
// in the current keyboard layout, else the lowest whose unmodified key-down types it; `fallback`
// when there is none or the layout cannot be read.
KeyCode keyCode(platform::Desktop& desktop, std::string_view wanted, KeyCode fallback);

// Posts Command down, the key down and up with the Command flag, then Command up, 12 ms apart.
// Events that cannot be created are skipped; an event source is used when one can be made.
void pressCommand(platform::Desktop& desktop, KeyCode key);

// Posts the key down and up without flags, 12 ms apart. Nothing at all when no event source can
// be created. True when both events were posted.
bool pressKey(platform::Desktop& desktop, KeyCode key);

}  // namespace fieldpilot
