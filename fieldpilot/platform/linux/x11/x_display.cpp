#include "x11/x_display.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <memory>

namespace fieldpilot::platform::live {
namespace {

// Windows come and go while we read them. Xlib's default handler ends the process on the first
// BadWindow; every request here checks its own result instead.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

constexpr long kLongestProperty = 1 << 16;
constexpr long kPagerSource = 2;  // _NET_ACTIVE_WINDOW source indication: a pager or tool

struct XFreeDeleter {
    void operator()(unsigned char* data) const { XFree(data); }
};
using XData = std::unique_ptr<unsigned char, XFreeDeleter>;

struct PropertyData {
    XData data;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
};

std::optional<PropertyData> readProperty(Display* display, Window window, Atom property,
                                         Atom type) {
    PropertyData result;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, kLongestProperty, False, type,
                           &result.type, &result.format, &result.count, &remaining,
                           &data) != Success) {
        return std::nullopt;
    }
    result.data.reset(data);
    if (result.type == None || !data)
        return std::nullopt;
    return result;
}

}  // namespace

XDisplay::XDisplay() {
    XSetErrorHandler(ignoreXError);
    display_ = XOpenDisplay(nullptr);
}

XDisplay::~XDisplay() {
    if (display_)
        XCloseDisplay(display_);
}

Window XDisplay::root() const {
    return DefaultRootWindow(display_);
}

Atom XDisplay::atom(const char* name) {
    return XInternAtom(display_, name, False);
}

std::vector<unsigned long> XDisplay::cardinals(Window window, const char* name, Atom type) {
    const auto property = readProperty(display_, window, atom(name), type);
    if (!property || property->format != 32)
        return {};
    // Format-32 data comes as an array of longs, whatever the width of long.
    const auto* values = reinterpret_cast<const unsigned long*>(property->data.get());
    return std::vector<unsigned long>(values, values + property->count);
}

std::vector<Atom> XDisplay::atomListProperty(Window window, const char* name) {
    const auto values = cardinals(window, name, XA_ATOM);
    return std::vector<Atom>(values.begin(), values.end());
}

std::optional<std::string> XDisplay::textProperty(Window window, const char* name) {
    const auto property = readProperty(display_, window, atom(name), AnyPropertyType);
    if (!property || property->format != 8)
        return std::nullopt;
    return std::string(reinterpret_cast<const char*>(property->data.get()), property->count);
}

std::optional<std::string> XDisplay::windowClass(Window window) {
    XClassHint hint{};
    if (!XGetClassHint(display_, window, &hint))
        return std::nullopt;
    std::optional<std::string> name;
    if (hint.res_class)
        name = hint.res_class;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return name;
}

bool XDisplay::windowManagerSupports(const char* hint) {
    const auto supported = atomListProperty(root(), "_NET_SUPPORTED");
    return std::ranges::find(supported, atom(hint)) != supported.end();
}

Window XDisplay::topLevelOf(Window window) {
    Window current = window;
    while (true) {
        Window rootWindow = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, current, &rootWindow, &parent, &children, &count))
            return current;
        XFree(children);
        if (parent == None || parent == rootWindow)
            return current;
        current = parent;
    }
}

std::optional<Window> XDisplay::activeWindow() {
    if (windowManagerSupports("_NET_ACTIVE_WINDOW")) {
        const auto active = cardinals(root(), "_NET_ACTIVE_WINDOW", XA_WINDOW);
        if (active.empty() || active.front() == None)
            return std::nullopt;
        return static_cast<Window>(active.front());
    }
    Window focus = None;
    int revertTo = 0;
    XGetInputFocus(display_, &focus, &revertTo);
    if (focus == None || focus == PointerRoot)
        return std::nullopt;
    return topLevelOf(focus);
}

std::optional<Pid> XDisplay::windowPid(Window window) {
    Window current = window;
    while (current != None) {
        const auto pid = cardinals(current, "_NET_WM_PID", XA_CARDINAL);
        if (!pid.empty())
            return static_cast<Pid>(pid.front());
        Window rootWindow = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, current, &rootWindow, &parent, &children, &count))
            return std::nullopt;
        XFree(children);
        current = parent == rootWindow ? None : parent;
    }
    return std::nullopt;
}

std::vector<Window> XDisplay::clientWindows() {
    // Bottom to top in both cases.
    auto stacking = cardinals(root(), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    if (stacking.empty())
        stacking = cardinals(root(), "_NET_CLIENT_LIST", XA_WINDOW);
    if (!stacking.empty())
        return std::vector<Window>(stacking.begin(), stacking.end());
    Window rootWindow = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, root(), &rootWindow, &parent, &children, &count))
        return {};
    std::vector<Window> windows(children, children + count);
    XFree(children);
    return windows;
}

std::vector<Window> XDisplay::windowsOf(Pid pid) {
    std::vector<Window> windows;
    const auto clients = clientWindows();
    for (auto window = clients.rbegin(); window != clients.rend(); ++window) {
        if (windowPid(*window) == pid)
            windows.push_back(*window);
    }
    return windows;
}

std::optional<XDisplay::Attributes> XDisplay::attributes(Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, window, &attributes))
        return std::nullopt;
    return Attributes{attributes.map_state == IsViewable};
}

bool XDisplay::activate(Window window) {
    if (windowManagerSupports("_NET_ACTIVE_WINDOW")) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = atom("_NET_ACTIVE_WINDOW");
        event.xclient.format = 32;
        event.xclient.data.l[0] = kPagerSource;
        event.xclient.data.l[1] = CurrentTime;
        const Status sent = XSendEvent(display_, root(), False,
                                       SubstructureRedirectMask | SubstructureNotifyMask, &event);
        XSync(display_, False);
        return sent != 0;
    }
    XMapRaised(display_, window);
    XSetInputFocus(display_, window, RevertToParent, CurrentTime);
    XSync(display_, False);
    return true;
}

}  // namespace fieldpilot::platform::live
