// What each key of an XKB keymap types, as the window systems report a layout.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include "window_system.h"

namespace fieldpilot::platform::live {

// The character of each evdev code at the keymap's first group's unshifted level (0: none).
KeyCharacters charactersOf(xkb_keymap* keymap);

}  // namespace fieldpilot::platform::live
