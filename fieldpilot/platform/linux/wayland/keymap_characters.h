// What each key of an XKB keymap types, as the window systems report a layout.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <optional>
#include <string>

#include "window_system.h"

namespace fieldpilot::platform::live {

// The character of each evdev code at the keymap's first group's unshifted level (0: none).
KeyCharacters charactersOf(xkb_keymap* keymap);

// The same for the keymap XKB compiles from these names; an empty name takes XKB's default
// (the XKB_DEFAULT_* variables, else "us"). None when the names do not compile.
std::optional<KeyCharacters> charactersOfLayout(const std::string& model, const std::string& layout,
                                                const std::string& variant);

}  // namespace fieldpilot::platform::live
