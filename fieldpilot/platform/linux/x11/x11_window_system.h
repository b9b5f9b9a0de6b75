// X11 as the live backend's window system: EWMH properties for the active window and its owner,
// XTest for keys, XKB for the modifier state and the layout. In a Wayland session it reaches the
// XWayland windows.
#pragma once

#include "window_system.h"
#include "x11/x_display.h"

namespace fieldpilot::platform::live {

class X11WindowSystem final : public WindowSystem {
  public:
    bool isOpen() override { return display_.isOpen(); }
    std::optional<std::string> accessibilityBusAddress() override;

    std::optional<Pid> frontmostPid() override;
    WindowOwner describe(Pid pid) override;
    bool activate(Pid pid) override;

    bool canPostKeys() override;
    void postKey(std::uint16_t evdevCode, bool down) override;
    std::optional<std::uint64_t> modifierFlags() override;
    std::optional<KeyCharacters> keyCharacters() override;

    std::optional<WindowInfoList> windowInfo(std::uint32_t windowId) override;
    bool accessibleExtentsAreOnScreen() override { return true; }
    // AT-SPI's screen extents already are the answer on X11.
    std::optional<ScreenRect> windowBounds(Pid) override { return std::nullopt; }

  private:
    XDisplay display_;
};

}  // namespace fieldpilot::platform::live
