// The keyboard layout mutter types remote desktop key codes with. gnome-shell gives mutter the
// layout of the user's current input source (org.gnome.desktop.input-sources): the first of
// "mru-sources" that is still among "sources", else the first of "sources"; with none, mutter
// keeps XKB's default.
#pragma once

#include <optional>

#include "window_system.h"

namespace fieldpilot::platform::live {

// What each key types under that layout; none when the current source is not an XKB layout (an
// input method's engine) or does not compile.
std::optional<KeyCharacters> gnomeLayoutCharacters();

}  // namespace fieldpilot::platform::live
