// KDE Plasma's KWin (5.27 and 6) as the live backend's window system: KWin scripts for the active
// window, window owners, positions and activation, fake input for keys. KWin has no numeric ids
// for native Wayland windows: `window <id>` answers for XWayland windows by their X ids.
#pragma once

#include <memory>
#include <vector>

#include "wayland/kde/fake_input.h"
#include "wayland/kde/kwin_script.h"
#include "wayland/kde/kwin_windows.h"
#include "window_system.h"

namespace fieldpilot::platform::live {

class KdeWindowSystem final : public WindowSystem {
  public:
    bool isOpen() override { return scripting_.offered(); }
    // The session bus names the accessibility bus; Wayland has no root window to publish it on.
    std::optional<std::string> accessibilityBusAddress() override { return std::nullopt; }

    std::optional<Pid> frontmostPid() override;
    WindowOwner describe(Pid pid) override;
    bool activate(Pid pid) override;

    bool canPostKeys() override { return keys().available(); }
    void postKey(std::uint16_t evdevCode, bool down) override { keys().press(evdevCode, down); }
    // KWin tells no client the modifiers held.
    std::optional<std::uint64_t> modifierFlags() override { return std::nullopt; }
    std::optional<KeyCharacters> keyCharacters() override;

    std::optional<WindowInfoList> windowInfo(std::uint32_t windowId) override;
    bool accessibleExtentsAreOnScreen() override { return false; }
    std::optional<ScreenRect> windowBounds(Pid pid) override;

  private:
    // Reads KWin's windows afresh.
    const std::optional<std::vector<KWinWindow>>& readWindows();
    // The windows as last read in this run, read now if they never were or an activation came
    // after.
    const std::optional<std::vector<KWinWindow>>& knownWindows();
    // Joining KWin's Wayland display costs time that only keys need.
    FakeInput& keys();

    KWinScripting scripting_;
    std::optional<std::vector<KWinWindow>> windows_;
    bool windowsRead_ = false;
    // Whether frontmostPid has answered from the windows as last read.
    bool frontmostAnswered_ = false;
    std::unique_ptr<FakeInput> keys_;
    // Compiling the layout costs more than a shortcut's keys: once per run.
    std::optional<std::optional<KeyCharacters>> layout_;
};

}  // namespace fieldpilot::platform::live
