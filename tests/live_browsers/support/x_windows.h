// What the browser tests read and do on the headless desktop's X display themselves, without
// fieldpilot: find a process's window, read its title, bring it to the front, press a key.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <optional>
#include <string>

namespace live_browsers {

class XWindows {
  public:
    // Opens the display DISPLAY names; throws std::runtime_error when it cannot.
    XWindows();
    ~XWindows();
    XWindows(const XWindows&) = delete;
    XWindows& operator=(const XWindows&) = delete;

    // The window manager's client window of the process; none while it has no window.
    std::optional<Window> windowOf(pid_t pid);
    // _NET_WM_NAME, the title the window manager shows; empty when there is none.
    std::string title(Window window);
    bool isActive(Window window);
    // Asks the window manager to activate the window, as a pager would.
    void activate(Window window);
    // Presses and releases the key of the keysym through XTest, with Shift held when asked.
    void pressKey(KeySym key, bool withShift = false);

  private:
    Display* display_;
};

}  // namespace live_browsers
