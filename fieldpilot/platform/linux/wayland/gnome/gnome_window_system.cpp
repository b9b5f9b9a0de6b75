#include "wayland/gnome/gnome_window_system.h"

#include <fstream>

#include "wayland/gnome/active_frame.h"
#include "wayland/gnome/gnome_layout.h"

namespace fieldpilot::platform::live {

std::optional<Pid> GnomeWindowSystem::frontmostPid() {
    return activeFramePid();
}

WindowOwner GnomeWindowSystem::describe(Pid pid) {
    WindowOwner owner = xwayland_.describe(pid);
    if (!owner.windowClass) {
        std::string name;
        if (std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/comm"), name) &&
            !name.empty())
            owner.windowClass = name;
    }
    return owner;
}

std::optional<KeyCharacters> GnomeWindowSystem::keyCharacters() {
    if (!layout_)
        layout_ = gnomeLayoutCharacters();
    return *layout_;
}

// Native Wayland windows have no id a client could know; XWayland windows keep their X ids.
std::optional<WindowInfoList> GnomeWindowSystem::windowInfo(std::uint32_t windowId) {
    if (xwayland_.isOpen())
        return xwayland_.windowInfo(windowId);
    return WindowInfoList{};
}

}  // namespace fieldpilot::platform::live
