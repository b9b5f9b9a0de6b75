// A private headless GNOME session for the Wayland tests: a session bus, a second bus standing
// for the system bus (gnome-shell aborts without one), gnome-shell with its headless Wayland
// backend and a virtual monitor, and a remote desktop session that keeps a keyboard on its seat.
// While it runs, this process's environment names it (WAYLAND_DISPLAY, DBUS_SESSION_BUS_ADDRESS,
// DBUS_SYSTEM_BUS_ADDRESS, GDK_BACKEND=wayland) and nothing of an X display.
#pragma once

#include <memory>

#include "support/private_session.h"

namespace live_wayland {

class GnomeDesktop : public live_desktop::PrivateSession {
  public:
    // Throws std::runtime_error when a part does not start.
    GnomeDesktop();
    ~GnomeDesktop();

  private:
    void chooseFrenchLayout();
    void startShell();
    void startKeyboard();

    std::unique_ptr<live_desktop::ChildProcess> keyboard_;
};

}  // namespace live_wayland
