// macOS virtual key codes as the X keycodes of the same physical keys.
#pragma once

#include <cstdint>
#include <optional>

namespace fieldpilot::platform::live {

// The key codes the seam carries are the macOS ones, 0 to 127.
constexpr std::uint16_t kMacKeyCodeCount = 128;

// The X keycode (evdev keycode + 8, as X servers with the evdev rules number them) of the key at
// the same place as the macOS key. Command stands for Control, the shortcut modifier on Linux.
// None for codes with no such key (Fn, unassigned codes, codes past 127).
std::optional<std::uint8_t> xKeycodeForMacKey(std::uint16_t macKeyCode);

}  // namespace fieldpilot::platform::live
