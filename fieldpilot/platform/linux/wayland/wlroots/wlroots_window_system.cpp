#include "wayland/wlroots/wlroots_window_system.h"

#include "wayland/wlroots/sway_tree.h"

namespace fieldpilot::platform::live {

VirtualKeyboard& WlrootsWindowSystem::keyboard() {
    if (!keyboard_)
        keyboard_ = std::make_unique<VirtualKeyboard>();
    return *keyboard_;
}

std::optional<Pid> WlrootsWindowSystem::frontmostPid() {
    const auto tree = ipc_.tree();
    if (!tree)
        return std::nullopt;
    for (const auto& window : swayWindows(*tree)) {
        if (window.focused)
            return window.pid;
    }
    return std::nullopt;
}

WindowOwner WlrootsWindowSystem::describe(Pid pid) {
    const auto tree = ipc_.tree();
    if (!tree)
        return {};
    const auto window = windowOfProcess(swayWindows(*tree), pid);
    if (!window)
        return {};
    return {window->appId ? window->appId : window->windowClass, std::nullopt};
}

// The criteria match XWayland windows too; focusing a window on another workspace switches to it.
bool WlrootsWindowSystem::activate(Pid pid) {
    return ipc_.run("[pid=" + std::to_string(pid) + "] focus");
}

std::optional<KeyCharacters> WlrootsWindowSystem::keyCharacters() {
    if (!keyboard().available())
        return std::nullopt;
    return keyboard().characters();
}

std::optional<WindowInfoList> WlrootsWindowSystem::windowInfo(std::uint32_t windowId) {
    const auto tree = ipc_.tree();
    if (!tree)
        return std::nullopt;
    const auto window = windowWithId(swayWindows(*tree), windowId);
    if (!window)
        return WindowInfoList{};
    // Every window of the tiling tree and the floating layer sits at the normal level.
    return WindowInfoList{windowDescription(windowId, kNormalWindowLayer, window->visible,
                                            window->pid, window->name)};
}

std::optional<ScreenRect> WlrootsWindowSystem::windowBounds(Pid pid) {
    const auto tree = ipc_.tree();
    if (!tree)
        return std::nullopt;
    const auto window = windowOfProcess(swayWindows(*tree), pid);
    if (!window)
        return std::nullopt;
    return window->rect;
}

}  // namespace fieldpilot::platform::live
