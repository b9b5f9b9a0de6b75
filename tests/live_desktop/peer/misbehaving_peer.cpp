// An application of the live-desktop tests that is on the accessibility bus and answers badly on
// purpose, in one of the ways real applications have been seen to:
//
//   misbehaving_peer <mode> <log file>
//
//   huge        its window claims 2147483647 children and every child fails
//   silent      its window has children but never answers for any of them
//   cycle       its window's child has the window and itself as children
//   chain       every element has one child more, without end
//   wide        its window has 100,000 children, none focused
//   wrong-types counts, states, roles, names and children come as values of the wrong type
//   large-text  a focused text field holding 10 MB of text
//   odd-name    the application's name holds a line feed and terminal escape sequences
//   page        a browser's window: its page claims 2147483647 children and every child fails,
//               but the page's caret leads to the focused field within it
//
// It shows an X window of its own (with _NET_WM_PID), makes it the active one, registers with
// the accessibility registry and writes "ready <pid>" on standard output. Every write asked of
// it (SetTextContents, GrabFocus), and every request for its whole tree (GetItems), is appended to
// the log file, so a test can tell what reached it without asking fieldpilot.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <atspi/atspi-constants.h>
#include <gio/gio.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr const char* kPathPrefix = "/org/a11y/atspi/accessible/";
constexpr const char* kRootPath = "/org/a11y/atspi/accessible/root";
constexpr const char* kFailed = "org.a11y.atspi.Error.Failed";
constexpr std::int32_t kHugeCount = 2147483647;
constexpr std::int32_t kWideCount = 100000;
constexpr std::size_t kLargeTextBytes = 10 * 1024 * 1024;

std::string mode;
std::string logPath;
std::string uniqueName;
std::string largeText;
std::mutex logLock;

void logLine(const std::string& line) {
    std::lock_guard lock(logLock);
    std::ofstream(logPath, std::ios::app) << line << '\n';
}

std::string pathOf(const std::string& id) {
    return kPathPrefix + id;
}

GVariant* reference(const std::string& id) {
    return g_variant_new("(so)", uniqueName.c_str(), pathOf(id).c_str());
}

// What an element is: its id is the last part of its path ("root", "window", "page", "link",
// "field", "c<n>"). The link is the page's hyperlink object that stands for the field.
struct Element {
    std::string id;
    bool isRoot() const { return id == "root"; }
    bool isWindow() const { return id == "window"; }
    bool isPage() const { return id == "page"; }
    bool isField() const { return id == "field"; }
};

std::int32_t childCount(const Element& element) {
    if (element.isRoot())
        return 1;
    if (element.isWindow()) {
        if (mode == "huge")
            return kHugeCount;
        if (mode == "wide")
            return kWideCount;
        if (mode == "silent")
            return 3;
        return mode == "cycle" || mode == "chain" || mode == "large-text" || mode == "page" ? 1 : 0;
    }
    if (element.isPage())
        return kHugeCount;
    if (mode == "cycle" && element.id == "loop")
        return 2;
    return mode == "chain" ? 1 : 0;
}

// The child's id; empty when the element has none at that index.
std::string childId(const Element& element, std::int32_t index) {
    if (element.isRoot())
        return index == 0 ? "window" : "";
    if (index < 0 || index >= childCount(element))
        return "";
    if (mode == "cycle")
        return index == 0 ? (element.isWindow() ? "loop" : "window") : "loop";
    if (mode == "large-text")
        return "field";
    if (mode == "page" && element.isWindow())
        return "page";
    if (mode == "chain") {
        const std::int64_t depth = element.isWindow() ? 0 : std::stoll(element.id.substr(1));
        return "c" + std::to_string(depth + 1);
    }
    return "c" + std::to_string(index);
}

std::uint32_t roleOf(const Element& element) {
    if (element.isRoot())
        return ATSPI_ROLE_APPLICATION;
    if (element.isWindow())
        return ATSPI_ROLE_FRAME;
    if (element.isPage())
        return ATSPI_ROLE_DOCUMENT_WEB;
    if (element.isField())
        return ATSPI_ROLE_ENTRY;
    return ATSPI_ROLE_PANEL;
}

GVariant* statesOf(const Element& element) {
    std::uint64_t states = (1ull << ATSPI_STATE_ENABLED) | (1ull << ATSPI_STATE_SENSITIVE) |
                           (1ull << ATSPI_STATE_SHOWING) | (1ull << ATSPI_STATE_VISIBLE);
    if (element.isWindow())
        states |= 1ull << ATSPI_STATE_ACTIVE;
    if (element.isField()) {
        states |= (1ull << ATSPI_STATE_FOCUSABLE) | (1ull << ATSPI_STATE_FOCUSED) |
                  (1ull << ATSPI_STATE_EDITABLE) | (1ull << ATSPI_STATE_SINGLE_LINE);
    }
    GVariantBuilder words;
    g_variant_builder_init(&words, G_VARIANT_TYPE("au"));
    g_variant_builder_add(&words, "u", static_cast<guint32>(states));
    g_variant_builder_add(&words, "u", static_cast<guint32>(states >> 32));
    return g_variant_new("(au)", &words);
}

GVariant* interfacesOf(const Element& element) {
    GVariantBuilder names;
    g_variant_builder_init(&names, G_VARIANT_TYPE("as"));
    g_variant_builder_add(&names, "s", "org.a11y.atspi.Accessible");
    if (element.isRoot())
        g_variant_builder_add(&names, "s", "org.a11y.atspi.Application");
    else
        g_variant_builder_add(&names, "s", "org.a11y.atspi.Component");
    if (element.isField()) {
        g_variant_builder_add(&names, "s", "org.a11y.atspi.Text");
        g_variant_builder_add(&names, "s", "org.a11y.atspi.EditableText");
    }
    if (mode == "page" && element.isWindow())
        g_variant_builder_add(&names, "s", "org.a11y.atspi.Collection");
    if (element.isPage()) {
        g_variant_builder_add(&names, "s", "org.a11y.atspi.Text");
        g_variant_builder_add(&names, "s", "org.a11y.atspi.Hypertext");
    }
    return g_variant_new("(as)", &names);
}

std::string nameOf(const Element& element) {
    if (element.isRoot())
        return mode == "odd-name" ? "Peer\nwindow forged=1\x1b[31m red\x1b]0;title\x07" : "Peer";
    return element.id;
}

GVariant* property(const Element& element, const std::string& interface, const std::string& name) {
    const bool wrong = mode == "wrong-types";
    if (name == "ChildCount")
        return wrong ? g_variant_new_string("many") : g_variant_new_int32(childCount(element));
    if (name == "Name")
        return wrong ? g_variant_new_int32(7) : g_variant_new_string(nameOf(element).c_str());
    if (name == "Description" || name == "Version" || name == "AtspiVersion")
        return g_variant_new_string("");
    if (name == "ToolkitName")
        return g_variant_new_string(mode == "page" ? "Chromium" : "Peer");
    if (name == "Parent") {
        if (element.isRoot())
            return g_variant_new("(so)", "org.a11y.atspi.Registry", kRootPath);
        if (mode == "page" && element.isField())
            return reference("page");
        return reference(element.isWindow() ? "root" : "window");
    }
    // The page's caret stands at the character that stands for the field, the last of the page.
    if (name == "CaretOffset" && interface == "org.a11y.atspi.Text")
        return g_variant_new_int32(element.isPage() ? kHugeCount - 1 : 0);
    if (name == "CharacterCount")
        return g_variant_new_int32(static_cast<std::int32_t>(largeText.size()));
    if (name == "Id")
        return g_variant_new_int32(0);
    return nullptr;
}

// The reply body; null with `error` set for an error reply, null without it for no reply at all.
GVariant* answer(GDBusMessage* call, const Element& element, std::string& error) {
    const std::string method = g_dbus_message_get_member(call);
    GVariant* body = g_dbus_message_get_body(call);
    const bool wrong = mode == "wrong-types";
    if (method == "GetChildAtIndex") {
        if (mode == "silent" && element.isWindow())
            return nullptr;
        if ((mode == "huge" && element.isWindow()) || element.isPage()) {
            error = kFailed;
            return nullptr;
        }
        if (wrong)
            return g_variant_new("(s)", "child");
        std::int32_t index = 0;
        g_variant_get(body, "(i)", &index);
        const std::string id = childId(element, index);
        if (id.empty())
            return g_variant_new("((so))", "", "/org/a11y/atspi/null");
        return g_variant_new("(@(so))", reference(id));
    }
    if (method == "GetState")
        return wrong ? g_variant_new("(s)", "focused") : statesOf(element);
    if (method == "GetRole")
        return wrong ? g_variant_new("(s)", "entry") : g_variant_new("(u)", roleOf(element));
    if (method == "GetRoleName" || method == "GetLocalizedRoleName")
        return g_variant_new("(s)", "panel");
    if (method == "GetInterfaces")
        return interfacesOf(element);
    if (method == "GetAttributes")
        return g_variant_new("(@a{ss})", g_variant_new_array(G_VARIANT_TYPE("{ss}"), nullptr, 0));
    if (method == "GetIndexInParent")
        return g_variant_new("(i)", 0);
    if (method == "GetApplication")
        return g_variant_new("(@(so))", reference("root"));
    if (method == "GetApplicationBusAddress")
        return g_variant_new("(s)", "");
    if (method == "GetExtents")
        return g_variant_new("((iiii))", 10, 10, 300, 200);
    if (method == "GetMatches" && mode == "page" && element.isWindow()) {
        GVariantBuilder matches;
        g_variant_builder_init(&matches, G_VARIANT_TYPE("a(so)"));
        g_variant_builder_add_value(&matches, reference("page"));
        return g_variant_new("(a(so))", &matches);
    }
    if (method == "GetLinkIndex" && element.isPage())
        return g_variant_new("(i)", 0);
    if (method == "GetLink" && element.isPage())
        return g_variant_new("(@(so))", reference("link"));
    if (method == "GetObject" && element.id == "link")
        return g_variant_new("(@(so))", reference("field"));
    if (method == "GetItems") {
        logLine(method);
        return g_variant_new(
            "(@a((so)(so)(so)iiassusau))",
            g_variant_new_array(G_VARIANT_TYPE("((so)(so)(so)iiassusau)"), nullptr, 0));
    }
    if (method == "GetText")
        return g_variant_new("(s)", largeText.c_str());
    if (method == "GetNSelections")
        return g_variant_new("(i)", 0);
    if (method == "SetTextContents" || method == "GrabFocus") {
        logLine(method);
        return g_variant_new("(b)", TRUE);
    }
    if (method == "Get") {
        const gchar* interface = nullptr;
        const gchar* name = nullptr;
        g_variant_get(body, "(&s&s)", &interface, &name);
        if (GVariant* value = property(element, interface, name))
            return g_variant_new("(v)", value);
    }
    error = "org.freedesktop.DBus.Error.UnknownMethod";
    return nullptr;
}

GDBusMessage* onMessage(GDBusConnection* connection, GDBusMessage* message, gboolean incoming,
                        gpointer) {
    if (!incoming || g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_METHOD_CALL)
        return message;
    const std::string path =
        g_dbus_message_get_path(message) ? g_dbus_message_get_path(message) : "";
    const std::string prefix = kPathPrefix;
    const Element element{path.rfind(prefix, 0) == 0 ? path.substr(prefix.size()) : path};
    std::string error;
    GVariant* body = answer(message, element, error);
    GDBusMessage* reply = nullptr;
    if (body) {
        reply = g_dbus_message_new_method_reply(message);
        g_dbus_message_set_body(reply, body);
    } else if (!error.empty()) {
        reply = g_dbus_message_new_method_error(message, error.c_str(), "%s", "refused");
    }
    if (reply) {
        g_dbus_connection_send_message(connection, reply, G_DBUS_SEND_MESSAGE_FLAGS_NONE, nullptr,
                                       nullptr);
        g_object_unref(reply);
    }
    g_object_unref(message);
    return nullptr;
}

std::string rootProperty(Display* display, const char* name) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, name, False), 0,
                       4096, False, AnyPropertyType, &type, &format, &count, &left, &data);
    std::string value = data ? reinterpret_cast<const char*>(data) : "";
    if (data)
        XFree(data);
    return value;
}

Window activeWindow(Display* display) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long left = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display),
                       XInternAtom(display, "_NET_ACTIVE_WINDOW", False), 0, 1, False, XA_WINDOW,
                       &type, &format, &count, &left, &data);
    const Window active = data && count == 1 ? *reinterpret_cast<Window*>(data) : None;
    if (data)
        XFree(data);
    return active;
}

// A window of this process that the window manager makes the active one.
bool showActiveWindow(Display* display) {
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 200, 0, 0, 0xFFFFFF);
    const long pid = getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XStoreName(display, window, "Peer");
    XClassHint hint{const_cast<char*>("peer"), const_cast<char*>("Peer")};
    XSetClassHint(display, window, &hint);
    XMapRaised(display, window);
    XSync(display, False);
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (activeWindow(display) == window)
            return true;
        XEvent request{};
        request.xclient.type = ClientMessage;
        request.xclient.window = window;
        request.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
        request.xclient.format = 32;
        request.xclient.data.l[0] = 2;  // from a pager, which window managers obey
        request.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, DefaultRootWindow(display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &request);
        XSync(display, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: misbehaving_peer <mode> <log file>\n");
        return 2;
    }
    mode = argv[1];
    logPath = argv[2];
    if (mode == "large-text")
        largeText.assign(kLargeTextBytes, 'x');
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    const std::string address = rootProperty(display, "AT_SPI_BUS");
    GError* error = nullptr;
    GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &error);
    if (!bus) {
        std::fprintf(stderr, "no accessibility bus: %s\n", error ? error->message : "");
        return 1;
    }
    uniqueName = g_dbus_connection_get_unique_name(bus);
    g_dbus_connection_add_filter(bus, onMessage, nullptr, nullptr);
    GVariant* embedded = g_dbus_connection_call_sync(
        bus, "org.a11y.atspi.Registry", kRootPath, "org.a11y.atspi.Socket", "Embed",
        g_variant_new("((so))", uniqueName.c_str(), kRootPath), nullptr, G_DBUS_CALL_FLAGS_NONE,
        10000, nullptr, &error);
    if (!embedded) {
        std::fprintf(stderr, "not registered: %s\n", error ? error->message : "");
        return 1;
    }
    g_variant_unref(embedded);
    if (!showActiveWindow(display)) {
        std::fprintf(stderr, "the window did not become active\n");
        return 1;
    }
    std::printf("ready %d\n", static_cast<int>(getpid()));
    std::fflush(stdout);
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop);
    return 0;
}
