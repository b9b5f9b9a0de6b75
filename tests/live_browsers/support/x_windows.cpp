#include "support/x_windows.h"

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <stdexcept>
#include <vector>

namespace live_browsers {
namespace {

// The items of a window property of the given type and 32-bit format.
std::vector<unsigned long> longProperty(Display* display, Window window, const char* name,
                                        Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> items;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 4096, False, type,
                           &actualType, &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
    }
    if (data)
        XFree(data);
    return items;
}

// A browser opens and closes windows of its own while it starts: one listed a moment ago may be
// gone when its properties are read, which reads as no property rather than ending the test.
int ignoreError(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

XWindows::XWindows() : display_(XOpenDisplay(nullptr)) {
    if (!display_)
        throw std::runtime_error("the headless desktop's display cannot be opened");
    XSetErrorHandler(ignoreError);
}

XWindows::~XWindows() {
    XCloseDisplay(display_);
}

std::optional<Window> XWindows::windowOf(pid_t pid) {
    const Window root = DefaultRootWindow(display_);
    for (const unsigned long window : longProperty(display_, root, "_NET_CLIENT_LIST", XA_WINDOW)) {
        const auto owner = longProperty(display_, window, "_NET_WM_PID", XA_CARDINAL);
        if (!owner.empty() && static_cast<pid_t>(owner.front()) == pid)
            return window;
    }
    return std::nullopt;
}

std::string XWindows::title(Window window) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display_, window, XInternAtom(display_, "_NET_WM_NAME", False), 0, 4096,
                           False, XInternAtom(display_, "UTF8_STRING", False), &actualType, &format,
                           &count, &after, &data) == Success &&
        data && format == 8)
        text.assign(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    return text;
}

bool XWindows::isActive(Window window) {
    const auto active =
        longProperty(display_, DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return !active.empty() && active.front() == window;
}

void XWindows::activate(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;  // the request comes from a pager, which is always obeyed
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, DefaultRootWindow(display_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display_);
}

void XWindows::pressKey(KeySym key, bool withShift) {
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    const KeyCode code = XKeysymToKeycode(display_, key);
    if (withShift)
        XTestFakeKeyEvent(display_, shift, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (withShift)
        XTestFakeKeyEvent(display_, shift, False, CurrentTime);
    XFlush(display_);
}

}  // namespace live_browsers
