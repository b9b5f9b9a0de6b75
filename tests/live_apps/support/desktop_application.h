// An application of the Linux desktop (a Qt editor, a GTK 4 editor, LibreOffice, a terminal)
// started on the headless desktop for the tests. It runs in a process group of its own, which
// ends with it on every ending (ChildProcess); the window may belong to a process that the
// started one forked (soffice.bin under the soffice script).
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/headless_desktop.h"
#include "support/x_windows.h"

namespace live_apps {

struct ApplicationOptions {
    std::vector<std::string> argv;
    std::string logName;  // its standard error, in the desktop's folder
    std::chrono::seconds startLimit{60};
};

class DesktopApplication {
  public:
    // Returns once a window of the process or of a descendant has opened and been brought to the
    // front; throws std::runtime_error when none opens within the start limit.
    DesktopApplication(const live_desktop::HeadlessDesktop& desktop,
                       const ApplicationOptions& options);

    // The process that owns the window: the one fieldpilot is given.
    pid_t windowPid() const { return windowPid_; }
    std::string windowPidText() const { return std::to_string(windowPid_); }
    // Brings the window to the front and waits until it is active.
    void present();

  private:
    live_desktop::ChildProcess process_;
    live_browsers::XWindows x_;
    Window window_ = None;
    pid_t windowPid_ = 0;
};

// The process and its descendants, the process first; read from /proc.
std::vector<pid_t> processTree(pid_t root);
// The program name of a process (/proc/<pid>/comm); empty when it has ended.
std::string programName(pid_t pid);

}  // namespace live_apps
