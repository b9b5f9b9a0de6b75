// KWin's windows as its scripts describe them, and the scripts that read them and activate one.
// The scripts run on KWin 5 (workspace.clientList(), activeClient) and KWin 6 (windowList(),
// activeWindow).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "window_system.h"

namespace fieldpilot::platform::live {

struct KWinWindow {
    Pid pid = 0;
    std::string resourceClass;
    std::optional<std::string> desktopFileName;
    std::string caption;
    ScreenRect frame;  // frameGeometry, in screen coordinates
    bool minimized = false;
    bool active = false;
    std::int64_t stackingOrder = 0;  // higher is nearer the top
    std::uint32_t x11Window = 0;     // the X window id of an XWayland window; 0 for native ones
};

// A script answering every window of the workspace (for `kwinWindows`).
std::string windowListScript();
// The windows of the script's answer; none when the answer is not one.
std::optional<std::vector<KWinWindow>> kwinWindows(const std::string& answer);

// A script that activates the process's topmost window that is not minimized and answers
// whether there was one.
std::string activationScript(Pid pid);

// The process's active window, else its topmost one.
std::optional<KWinWindow> windowOfProcess(const std::vector<KWinWindow>& windows, Pid pid);

}  // namespace fieldpilot::platform::live
