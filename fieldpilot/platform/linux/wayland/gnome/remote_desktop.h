// Keys through mutter's org.gnome.Mutter.RemoteDesktop: one session per run, created with the
// first key and stopped when the run ends. gnome-shell shows its screen-sharing indicator for a
// few seconds after each session.
#pragma once

#include <gio/gio.h>

#include <cstdint>
#include <optional>
#include <string>

#include "g_ref.h"

namespace fieldpilot::platform::live {

class RemoteDesktop {
  public:
    // Connects to the session bus DBUS_SESSION_BUS_ADDRESS names.
    RemoteDesktop();
    ~RemoteDesktop();
    RemoteDesktop(const RemoteDesktop&) = delete;
    RemoteDesktop& operator=(const RemoteDesktop&) = delete;

    // Whether mutter serves remote desktop sessions on the session bus.
    bool offered();
    // Presses or releases the key with that evdev code, through the current layout.
    void press(std::uint16_t evdevCode, bool down);

  private:
    bool startSession();
    GVariant* call(const char* path, const char* interface, const char* method,
                   GVariant* parameters, const GVariantType* replyType);

    GRef<GDBusConnection> bus_;
    std::optional<bool> offered_;
    std::optional<std::string> session_;
    bool sessionFailed_ = false;
};

}  // namespace fieldpilot::platform::live
