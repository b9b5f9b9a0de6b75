#include "wayland/gnome/remote_desktop.h"

#include "session_bus.h"

namespace fieldpilot::platform::live {
namespace {

constexpr const char* kService = "org.gnome.Mutter.RemoteDesktop";
constexpr const char* kPath = "/org/gnome/Mutter/RemoteDesktop";
constexpr const char* kSessionInterface = "org.gnome.Mutter.RemoteDesktop.Session";
constexpr int kCallTimeoutMs = 1500;

}  // namespace

RemoteDesktop::RemoteDesktop() : bus_(openSessionBus()) {}

// Only the peer that created a session may drive it, and mutter ends it when that peer leaves;
// stopping it here ends the indicator's time sooner.
RemoteDesktop::~RemoteDesktop() {
    if (session_) {
        if (GVariant* reply = call(session_->c_str(), kSessionInterface, "Stop", nullptr, nullptr))
            g_variant_unref(reply);
    }
}

GVariant* RemoteDesktop::call(const char* path, const char* interface, const char* method,
                              GVariant* parameters, const GVariantType* replyType) {
    if (!bus_)
        return nullptr;
    return g_dbus_connection_call_sync(bus_.get(), kService, path, interface, method, parameters,
                                       replyType, G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs,
                                       nullptr, nullptr);
}

bool RemoteDesktop::offered() {
    if (offered_)
        return *offered_;
    offered_ = nameHasOwner(bus_.get(), kService, kCallTimeoutMs);
    return *offered_;
}

bool RemoteDesktop::startSession() {
    if (sessionFailed_)
        return false;
    if (session_)
        return true;
    // A failed start is not tried again in the run; a created session is still stopped.
    sessionFailed_ = true;
    GVariant* created = call(kPath, "org.gnome.Mutter.RemoteDesktop", "CreateSession", nullptr,
                             G_VARIANT_TYPE("(o)"));
    if (!created)
        return false;
    const gchar* path = nullptr;
    g_variant_get(created, "(&o)", &path);
    session_ = path;
    g_variant_unref(created);
    GVariant* started = call(session_->c_str(), kSessionInterface, "Start", nullptr, nullptr);
    if (!started)
        return false;
    g_variant_unref(started);
    sessionFailed_ = false;
    return true;
}

void RemoteDesktop::press(std::uint16_t evdevCode, bool down) {
    if (!startSession())
        return;
    GVariant* reply = call(session_->c_str(), kSessionInterface, "NotifyKeyboardKeycode",
                           g_variant_new("(ub)", evdevCode, down ? TRUE : FALSE), nullptr);
    if (reply)
        g_variant_unref(reply);
}

}  // namespace fieldpilot::platform::live
