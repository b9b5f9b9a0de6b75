// The active window's owner, what a process's windows say about it, and activation, over EWMH.
#include "x11/x11_window_system.h"

namespace fieldpilot::platform::live {

std::optional<std::string> X11WindowSystem::accessibilityBusAddress() {
    if (!display_.isOpen())
        return std::nullopt;
    auto address = display_.textProperty(display_.root(), "AT_SPI_BUS");
    if (!address || address->empty())
        return std::nullopt;
    return address;
}

std::optional<Pid> X11WindowSystem::frontmostPid() {
    if (!display_.isOpen())
        return std::nullopt;
    const auto window = display_.activeWindow();
    return window ? display_.windowPid(*window) : std::nullopt;
}

WindowOwner X11WindowSystem::describe(Pid pid) {
    WindowOwner owner;
    if (!display_.isOpen())
        return owner;
    for (const Window window : display_.windowsOf(pid)) {
        if (!owner.windowClass)
            owner.windowClass = display_.windowClass(window);
        if (!owner.applicationId)
            owner.applicationId = display_.textProperty(window, "_GTK_APPLICATION_ID");
    }
    return owner;
}

// Activation brings the process's topmost window forward.
bool X11WindowSystem::activate(Pid pid) {
    if (!display_.isOpen())
        return false;
    const auto windows = display_.windowsOf(pid);
    return !windows.empty() && display_.activate(windows.front());
}

}  // namespace fieldpilot::platform::live
