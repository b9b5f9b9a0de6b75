// What the Wayland tests read as the truth without fieldpilot, on any compositor: a command's
// output, the focused text of a process over AT-SPI, the clipboard through wl-paste.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/private_session.h"

namespace live_wayland {

struct CommandOutput {
    std::string text;
    std::optional<int> status;  // none when it did not end in time
};

// Runs the command to its end, its standard error into the log.
CommandOutput runCommand(const std::vector<std::string>& argv, const std::string& log);
// The text of the process's focused text element, read over AT-SPI by a script of its own; none
// when it has no such element.
std::optional<std::string> accessibleTextOf(const live_desktop::PrivateSession& desktop, int pid);
// The clipboard of the session's compositor.
std::string waylandClipboard(const live_desktop::PrivateSession& desktop);

}  // namespace live_wayland
