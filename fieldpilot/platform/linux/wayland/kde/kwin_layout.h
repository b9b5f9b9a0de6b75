// The keyboard layout KWin types fake input's key codes with. KWin takes its layouts from the
// user's kxkbrc ([Layout] LayoutList, VariantList, Model when Use=true), else from XKB's defaults,
// and publishes which of several is active on org.kde.keyboard /Layouts (only when there are
// several).
#pragma once

#include <gio/gio.h>

#include <optional>

#include "window_system.h"

namespace fieldpilot::platform::live {

// What each key types under KWin's active layout; none when that layout does not compile.
std::optional<KeyCharacters> kwinLayoutCharacters(GDBusConnection* bus);

}  // namespace fieldpilot::platform::live
