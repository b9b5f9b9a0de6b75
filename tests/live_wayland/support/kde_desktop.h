// A private headless KDE Plasma compositor for the Wayland tests: a session bus, and a copy of
// KWin (Debian's binary carries a file capability that a container refuses to execute) with its
// virtual backend, which has a keyboard on its seat. A private data folder holds the .desktop file
// that grants the built fieldpilot KWin's fake input, in KDE's service cache built for it; KWin
// types with a French layout (AZERTY) ahead of the US one. While it runs, this process's
// environment names it (WAYLAND_DISPLAY, DBUS_SESSION_BUS_ADDRESS, XDG_DATA_HOME, XDG_DATA_DIRS,
// GDK_BACKEND=wayland) and nothing of an X display.
#pragma once

#include <sys/types.h>

#include <nlohmann/json.hpp>
#include <string>

#include "support/private_session.h"

namespace live_wayland {

class KdeDesktop : public live_desktop::PrivateSession {
  public:
    // Throws std::runtime_error when a part does not start.
    explicit KdeDesktop(const std::string& fieldpilotExecutable);
    ~KdeDesktop();

    // KWin's windows as its own script reports them: pid, active, x, y, width, height.
    nlohmann::json windows() const;
    // The process owning the active window; 0 when no window is active.
    int activePid() const;
    // The window of the process as windows() reports it; null when it has none.
    nlohmann::json windowOf(int pid) const;
    // Makes the process's window active through a script of the test's own.
    void activate(int pid) const;
    // Stops KWin (SIGSTOP), as a compositor that hangs, or lets it go on.
    void suspendKWin(bool suspended) const;

  private:
    void grantFakeInput(const std::string& fieldpilotExecutable);
    void startKWin();

    pid_t kwin_ = 0;
};

}  // namespace live_wayland
