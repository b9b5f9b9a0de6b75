// GNOME Text Editor (GTK 4), the Wayland tests' second application.
#pragma once

#include <memory>

#include "support/child_process.h"
#include "support/private_session.h"

namespace live_wayland {

// Starts the editor on the desktop and returns once AT-SPI shows its focused text area (it opens
// with it focused); throws std::runtime_error when it does not come up in time.
std::unique_ptr<live_desktop::ChildProcess> startTextEditor(
    const live_desktop::PrivateSession& desktop);

}  // namespace live_wayland
