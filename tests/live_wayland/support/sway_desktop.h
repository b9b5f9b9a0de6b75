// A private headless sway session for the Wayland tests: a session bus, sway run as an
// unprivileged user (it refuses to run as root) with the headless backend, and a virtual keyboard
// on its seat. While it runs, this process's environment names it (WAYLAND_DISPLAY, SWAYSOCK,
// DBUS_SESSION_BUS_ADDRESS, GDK_BACKEND=wayland) and nothing of an X display.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "support/private_session.h"

namespace live_wayland {

class SwayDesktop : public live_desktop::PrivateSession {
  public:
    // Throws std::runtime_error when a part does not start.
    SwayDesktop();
    ~SwayDesktop();

    // sway's window tree, read with swaymsg.
    nlohmann::json tree() const;
    // The process owning the focused window; 0 when no window has the focus.
    int focusedPid() const;
    // The tree's node of the process's window; null when it has none.
    nlohmann::json windowOf(int pid) const;
    // Focuses the process's window through swaymsg.
    void focus(int pid) const;
    // The text of the process's focused text element, read over AT-SPI by a script of its own;
    // none when it has no such element.
    std::optional<std::string> accessibleText(int pid) const;
    // The X display of sway's XWayland (":1").
    std::string xwaylandDisplay() const;
    // The clipboard, read with wl-paste.
    std::string clipboard() const;

  private:
    void handFolderToUser();
    void startSway();
    void startKeyboard();

    std::unique_ptr<live_desktop::ChildProcess> keyboard_;
};

}  // namespace live_wayland
