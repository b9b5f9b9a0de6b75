// The X display and the window properties the live backend reads: which window is active and
// whose it is, the windows of a process, and activation through the window manager.
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace fieldpilot::platform::live {

class XDisplay {
  public:
    // The display DISPLAY names; not open when it names none or it cannot be reached.
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool isOpen() const { return display_ != nullptr; }
    Display* get() const { return display_; }
    Window root() const;

    // _NET_ACTIVE_WINDOW with a window manager, else the top-level window holding the focus.
    std::optional<Window> activeWindow();
    // _NET_WM_PID of the window or of the nearest ancestor that has one.
    std::optional<Pid> windowPid(Window window);
    // The client windows of a process, the topmost first.
    std::vector<Window> windowsOf(Pid pid);
    // Asks the window manager to activate the window, or raises and focuses it without one.
    bool activate(Window window);

    // A text property (UTF8_STRING or STRING) of a window.
    std::optional<std::string> textProperty(Window window, const char* name);
    // The class part of WM_CLASS.
    std::optional<std::string> windowClass(Window window);
    std::vector<Atom> atomListProperty(Window window, const char* name);
    Atom atom(const char* name);

    struct Attributes {
        bool viewable = false;
    };
    // The window's attributes; none when there is no such window.
    std::optional<Attributes> attributes(Window window);

  private:
    std::vector<unsigned long> cardinals(Window window, const char* name, Atom type);
    std::vector<Window> clientWindows();
    bool windowManagerSupports(const char* hint);
    Window topLevelOf(Window window);

    Display* display_ = nullptr;
};

}  // namespace fieldpilot::platform::live
