// sway and the wlroots compositors that speak its IPC as the live backend's window system: the
// IPC's tree for windows, their owners and positions, its commands for activation, and a virtual
// keyboard for keys. The tree covers XWayland windows too.
#pragma once

#include <memory>
#include <string>

#include "wayland/wlroots/sway_ipc.h"
#include "wayland/wlroots/virtual_keyboard.h"
#include "window_system.h"

namespace fieldpilot::platform::live {

class WlrootsWindowSystem final : public WindowSystem {
  public:
    explicit WlrootsWindowSystem(const std::string& ipcSocket) : ipc_(ipcSocket) {}

    bool isOpen() override { return ipc_.isOpen(); }
    // The session bus names the accessibility bus; Wayland has no root window to publish it on.
    std::optional<std::string> accessibilityBusAddress() override { return std::nullopt; }

    std::optional<Pid> frontmostPid() override;
    WindowOwner describe(Pid pid) override;
    bool activate(Pid pid) override;

    bool canPostKeys() override { return keyboard().available(); }
    void postKey(std::uint16_t evdevCode, bool down) override { keyboard().press(evdevCode, down); }
    // No Wayland client can read another keyboard's modifiers.
    std::optional<std::uint64_t> modifierFlags() override { return std::nullopt; }
    std::optional<KeyCharacters> keyCharacters() override;

    std::optional<WindowInfoList> windowInfo(std::uint32_t windowId) override;
    bool accessibleExtentsAreOnScreen() override { return false; }
    std::optional<ScreenRect> windowBounds(Pid pid) override;

  private:
    // Joining the seat and compiling the keymap cost time that only keys need.
    VirtualKeyboard& keyboard();

    SwayIpc ipc_;
    std::unique_ptr<VirtualKeyboard> keyboard_;
};

}  // namespace fieldpilot::platform::live
