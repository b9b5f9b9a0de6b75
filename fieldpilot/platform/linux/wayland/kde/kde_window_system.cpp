#include "wayland/kde/kde_window_system.h"

#include "wayland/kde/kwin_layout.h"

namespace fieldpilot::platform::live {

FakeInput& KdeWindowSystem::keys() {
    if (!keys_)
        keys_ = std::make_unique<FakeInput>();
    return *keys_;
}

const std::optional<std::vector<KWinWindow>>& KdeWindowSystem::readWindows() {
    windowsRead_ = true;
    frontmostAnswered_ = false;
    windows_.reset();
    if (const auto answer = scripting_.run(windowListScript()))
        windows_ = kwinWindows(*answer);
    return windows_;
}

// One script run costs more than all the answers taken from it: the questions of a run share the
// windows as read once.
const std::optional<std::vector<KWinWindow>>& KdeWindowSystem::knownWindows() {
    if (!windowsRead_)
        return readWindows();
    return windows_;
}

// The active window is what a run may wait to see change (activation's confirmation reads it
// again and again): one reading answers it once.
std::optional<Pid> KdeWindowSystem::frontmostPid() {
    const auto& windows = frontmostAnswered_ ? readWindows() : knownWindows();
    frontmostAnswered_ = true;
    if (!windows)
        return std::nullopt;
    for (const auto& window : *windows) {
        if (window.active)
            return window.pid;
    }
    return std::nullopt;
}

WindowOwner KdeWindowSystem::describe(Pid pid) {
    const auto& windows = knownWindows();
    if (!windows)
        return {};
    const auto window = windowOfProcess(*windows, pid);
    if (!window)
        return {};
    WindowOwner owner{std::nullopt, window->desktopFileName};
    if (!window->resourceClass.empty())
        owner.windowClass = window->resourceClass;
    return owner;
}

bool KdeWindowSystem::activate(Pid pid) {
    windowsRead_ = false;
    return scripting_.run(activationScript(pid)) == "true";
}

std::optional<KeyCharacters> KdeWindowSystem::keyCharacters() {
    if (!layout_)
        layout_ = kwinLayoutCharacters(scripting_.bus());
    return *layout_;
}

std::optional<WindowInfoList> KdeWindowSystem::windowInfo(std::uint32_t windowId) {
    const auto& windows = knownWindows();
    if (!windows)
        return std::nullopt;
    for (const auto& window : *windows) {
        if (windowId == 0 || window.x11Window != windowId)
            continue;
        // KWin's levels (keep above, docks) have no numbers of the kinds macOS gives.
        const auto caption =
            window.caption.empty() ? std::nullopt : std::optional<std::string>(window.caption);
        return WindowInfoList{windowDescription(windowId, kNormalWindowLayer, !window.minimized,
                                                window.pid, caption)};
    }
    return WindowInfoList{};
}

std::optional<ScreenRect> KdeWindowSystem::windowBounds(Pid pid) {
    const auto& windows = knownWindows();
    if (!windows)
        return std::nullopt;
    const auto window = windowOfProcess(*windows, pid);
    if (!window)
        return std::nullopt;
    return window->frame;
}

}  // namespace fieldpilot::platform::live
