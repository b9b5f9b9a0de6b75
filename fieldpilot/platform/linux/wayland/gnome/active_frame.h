// The application whose window is active, as AT-SPI tells it: the one top-level window with the
// active state. GNOME tells ordinary clients nothing about its windows.
#pragma once

#include <optional>

#include "platform/platform.h"

namespace fieldpilot::platform::live {

// The process owning the shown, active top-level window on the accessibility bus; gnome-shell's
// own stage and mutter's frames of X11 windows keep a stale state and are skipped.
std::optional<Pid> activeFramePid();

}  // namespace fieldpilot::platform::live
