// GNOME (mutter, gnome-shell) as the live backend's window system. GNOME tells ordinary clients
// neither which window is active nor where windows are, and lets none of them activate a window:
// the active window comes from AT-SPI, activation is refused, positions are unknown, and keys go
// through a remote desktop session. XWayland windows are described through X11 when DISPLAY
// names mutter's XWayland.
#pragma once

#include "wayland/gnome/remote_desktop.h"
#include "window_system.h"
#include "x11/x11_window_system.h"

namespace fieldpilot::platform::live {

class GnomeWindowSystem final : public WindowSystem {
  public:
    bool isOpen() override { return keys_.offered(); }
    // The session bus names the accessibility bus; Wayland has no root window to publish it on.
    std::optional<std::string> accessibilityBusAddress() override { return std::nullopt; }

    std::optional<Pid> frontmostPid() override;
    // Wayland app ids are not told to clients; the process's name stands for its class.
    WindowOwner describe(Pid pid) override;
    // No client may activate another's window in GNOME.
    bool activate(Pid) override { return false; }

    bool canPostKeys() override { return keys_.offered(); }
    void postKey(std::uint16_t evdevCode, bool down) override { keys_.press(evdevCode, down); }
    // mutter tells no client the modifiers held.
    std::optional<std::uint64_t> modifierFlags() override { return std::nullopt; }
    // Key codes go through the user's current layout, which mutter does not tell: it is read
    // from GNOME's settings, as gnome-shell gives it to mutter.
    std::optional<KeyCharacters> keyCharacters() override;

    std::optional<WindowInfoList> windowInfo(std::uint32_t windowId) override;
    bool accessibleExtentsAreOnScreen() override { return false; }
    std::optional<ScreenRect> windowBounds(Pid) override { return std::nullopt; }

  private:
    RemoteDesktop keys_;
    X11WindowSystem xwayland_;
    // Compiling the layout costs more than a shortcut's keys: once per run.
    std::optional<std::optional<KeyCharacters>> layout_;
};

}  // namespace fieldpilot::platform::live
