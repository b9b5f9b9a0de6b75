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

#include "support/announce_pipe.h"
#include "support/line_reader.h"

namespace live_desktop {

namespace {

using std::chrono::milliseconds;
using namespace std::chrono_literals;

constexpr milliseconds kStartLimit = 15s;
constexpr milliseconds kPollInterval = 20ms;
constexpr const char* kBusLauncher = "/usr/libexec/at-spi-bus-launcher";

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
    addService(std::move(server));
    setEnvironment("DISPLAY", display_);
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
    addService(std::move(launcher));
}

void HeadlessDesktop::startWindowManager() {
    const std::string log = logFile("openbox.log");
    auto manager = std::make_unique<ChildProcess>(
        ChildOptions{.argv = {"openbox", "--sm-disable"}, .logPath = log});
    waitForRootProperty(display_, "_NET_SUPPORTING_WM_CHECK", *manager, log);
    addService(std::move(manager));
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
