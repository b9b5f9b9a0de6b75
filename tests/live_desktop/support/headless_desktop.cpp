#include "support/headless_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gio/gio.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/line_reader.h"

namespace live_desktop {

namespace {

using std::chrono::milliseconds;
using namespace std::chrono_literals;

constexpr milliseconds kStartLimit = 15s;
constexpr milliseconds kPollInterval = 20ms;
constexpr const char* kBusLauncher = "/usr/libexec/at-spi-bus-launcher";

std::string lastLines(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    constexpr std::size_t kShown = 600;
    return all.size() > kShown ? all.substr(all.size() - kShown) : all;
}

// The descriptor a service prints its address or display to, and our end of it.
struct AnnouncePipe {
    AnnouncePipe() {
        if (pipe(ends) != 0)
            throw std::runtime_error("pipe failed");
    }
    ~AnnouncePipe() {
        close(ends[0]);
        if (ends[1] >= 0)
            close(ends[1]);
    }
    void closeWritingEnd() {
        close(ends[1]);
        ends[1] = -1;
    }
    int ends[2];
};

// True once the root window of the display carries the property.
bool rootHasProperty(const std::string& display, const char* property) {
    Display* connection = XOpenDisplay(display.c_str());
    if (!connection)
        return false;
    const Atom atom = XInternAtom(connection, property, True);
    bool found = false;
    if (atom != None) {
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(connection, DefaultRootWindow(connection), atom, 0, 1024, False,
                               AnyPropertyType, &type, &format, &items, &after, &data) == Success) {
            found = type != None;
            if (data)
                XFree(data);
        }
    }
    XCloseDisplay(connection);
    return found;
}

void waitForRootProperty(const std::string& display, const char* property,
                         const ChildProcess& owner, const std::string& log) {
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (!rootHasProperty(display, property)) {
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("no " + std::string(property) +
                                     " on the root window from pid " + std::to_string(owner.pid()) +
                                     ": " + lastLines(log));
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

}  // namespace

HeadlessDesktop::HeadlessDesktop() {
    try {
        makePrivateFolders();
        startXServer();
        startSessionBus();
        startAccessibilityBus();
        startWindowManager();
    } catch (...) {
        tearDown();
        throw;
    }
}

HeadlessDesktop::~HeadlessDesktop() {
    tearDown();
}

void HeadlessDesktop::tearDown() {
    while (!services_.empty())
        services_.pop_back();
    killRemainingChildren();
    for (auto it = savedEnvironment_.rbegin(); it != savedEnvironment_.rend(); ++it) {
        if (it->second)
            setenv(it->first.c_str(), it->second->c_str(), 1);
        else
            unsetenv(it->first.c_str());
    }
    savedEnvironment_.clear();
    std::error_code ignored;
    if (!folder_.empty())
        std::filesystem::remove_all(folder_, ignored);
    folder_.clear();
}

void HeadlessDesktop::setEnvironment(const std::string& name,
                                     const std::optional<std::string>& value) {
    const char* old = getenv(name.c_str());
    savedEnvironment_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value)
        setenv(name.c_str(), value->c_str(), 1);
    else
        unsetenv(name.c_str());
}

void HeadlessDesktop::makePrivateFolders() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/live-desktop-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed for " + pattern);
    folder_ = pattern;
    std::filesystem::create_directories(folder_ / "home");
    std::filesystem::create_directories(folder_ / "runtime");
    std::filesystem::permissions(folder_ / "runtime", std::filesystem::perms::owner_all);

    setEnvironment("HOME", (folder_ / "home").string());
    setEnvironment("XDG_RUNTIME_DIR", (folder_ / "runtime").string());
    setEnvironment("XDG_CONFIG_HOME", (folder_ / "home/.config").string());
    setEnvironment("XDG_CACHE_HOME", (folder_ / "home/.cache").string());
    // Programs under test pick the live desktop and find it through these alone.
    for (const char* name : {"FIELDPILOT_DESKTOP", "NO_AT_BRIDGE", "AT_SPI_BUS_ADDRESS",
                             "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "DISPLAY"})
        setEnvironment(name, std::nullopt);
    setEnvironment("GDK_BACKEND", "x11");
    // No dconf or gvfs daemons get activated on the private bus.
    setEnvironment("GSETTINGS_BACKEND", "memory");
    setEnvironment("GIO_USE_VFS", "local");
}

void HeadlessDesktop::startXServer() {
    AnnouncePipe announce;
    const std::string log = logFile("xvfb.log");
    auto server = std::make_unique<ChildProcess>(
        ChildOptions{.argv = {"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24",
                              "-nolisten", "tcp", "-noreset"},
                     .logPath = log,
                     .passedDescriptor = announce.ends[1]});
    announce.closeWritingEnd();
    const auto number = LineReader(announce.ends[0]).next(kStartLimit);
    if (!number || number->empty()) {
        const auto status = server->stop();
        throw NoXServer(status == 127
                            ? "Xvfb could not be executed (is the xvfb package installed?)"
                            : "Xvfb did not start: " + lastLines(log));
    }
    display_ = ":" + *number;
    services_.push_back(std::move(server));
    setEnvironment("DISPLAY", display_);
}

void HeadlessDesktop::startSessionBus() {
    AnnouncePipe announce;
    const std::string log = logFile("session-bus.log");
    auto bus = std::make_unique<ChildProcess>(
        ChildOptions{.argv = {"dbus-daemon", "--session", "--nofork", "--print-address=3"},
                     .logPath = log,
                     .passedDescriptor = announce.ends[1]});
    announce.closeWritingEnd();
    const auto address = LineReader(announce.ends[0]).next(kStartLimit);
    if (!address || address->empty())
        throw std::runtime_error("dbus-daemon did not start: " + lastLines(log));
    services_.push_back(std::move(bus));
    setEnvironment("DBUS_SESSION_BUS_ADDRESS", *address);
}

// The launcher owns org.a11y.Bus on the session bus, starts the accessibility bus (where the
// registry daemon is activated on first use) and announces its address on the root window.
void HeadlessDesktop::startAccessibilityBus() {
    const std::string log = logFile("at-spi.log");
    auto launcher =
        std::make_unique<ChildProcess>(ChildOptions{.argv = {kBusLauncher, "--launch-immediately"},
                                                    .logPath = log,
                                                    .parentDeathSignal = SIGTERM});
    waitForRootProperty(display_, "AT_SPI_BUS", *launcher, log);
    services_.push_back(std::move(launcher));
}

void HeadlessDesktop::startWindowManager() {
    const std::string log = logFile("openbox.log");
    auto manager = std::make_unique<ChildProcess>(
        ChildOptions{.argv = {"openbox", "--sm-disable"}, .logPath = log});
    waitForRootProperty(display_, "_NET_SUPPORTING_WM_CHECK", *manager, log);
    services_.push_back(std::move(manager));
}

void HeadlessDesktop::setKeyboardLayout(const std::string& layout) {
    ChildProcess setter(
        ChildOptions{.argv = {"setxkbmap", layout}, .logPath = logFile("setxkbmap.log")});
    const auto status = setter.waitFor(kStartLimit);
    if (status != 0)
        throw std::runtime_error("setxkbmap " + layout +
                                 " failed: " + lastLines(logFile("setxkbmap.log")));
}

void HeadlessDesktop::setToolkitAccessibility(bool on) {
    GError* error = nullptr;
    // A connection of its own: GLib's shared one would outlive this desktop's bus.
    GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
        getenv("DBUS_SESSION_BUS_ADDRESS"),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &error);
    GVariant* reply =
        bus ? g_dbus_connection_call_sync(
                  bus, "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                  g_variant_new("(ssv)", "org.a11y.Status", "IsEnabled", g_variant_new_boolean(on)),
                  nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, 5000, nullptr, &error)
            : nullptr;
    const std::string problem = error ? error->message : "";
    g_clear_error(&error);
    if (reply)
        g_variant_unref(reply);
    if (bus)
        g_object_unref(bus);
    if (!reply)
        throw std::runtime_error("org.a11y.Status.IsEnabled cannot be set: " + problem);
}

}  // namespace live_desktop
