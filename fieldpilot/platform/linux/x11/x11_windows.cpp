// Window descriptions by X window id, in the window server's keys.
#include <algorithm>

#include "x11/x11_window_system.h"

namespace fieldpilot::platform::live {
namespace {

// Window levels as macOS numbers them: normal windows 0, floating ones 3, the Dock 20, status
// items 25, menus 101; windows kept below the others sit just under the normal ones.
constexpr std::int64_t kKeptBelowLayer = -1;
constexpr std::int64_t kKeptAboveLayer = 3;
constexpr std::int64_t kDockLayer = 20;
constexpr std::int64_t kStatusLayer = 25;
constexpr std::int64_t kMenuLayer = 101;

bool contains(const std::vector<Atom>& atoms, Atom wanted) {
    return std::ranges::find(atoms, wanted) != atoms.end();
}

std::int64_t layerOf(XDisplay& display, Window window) {
    const auto types = display.atomListProperty(window, "_NET_WM_WINDOW_TYPE");
    const auto states = display.atomListProperty(window, "_NET_WM_STATE");
    const auto isType = [&](const char* name) { return contains(types, display.atom(name)); };
    if (isType("_NET_WM_WINDOW_TYPE_DROPDOWN_MENU") || isType("_NET_WM_WINDOW_TYPE_POPUP_MENU") ||
        isType("_NET_WM_WINDOW_TYPE_MENU"))
        return kMenuLayer;
    if (isType("_NET_WM_WINDOW_TYPE_NOTIFICATION") || isType("_NET_WM_WINDOW_TYPE_TOOLTIP"))
        return kStatusLayer;
    if (isType("_NET_WM_WINDOW_TYPE_DOCK"))
        return kDockLayer;
    if (contains(states, display.atom("_NET_WM_STATE_ABOVE")))
        return kKeptAboveLayer;
    if (contains(states, display.atom("_NET_WM_STATE_BELOW")))
        return kKeptBelowLayer;
    return kNormalWindowLayer;
}

}  // namespace

std::optional<WindowInfoList> X11WindowSystem::windowInfo(std::uint32_t windowNumber) {
    if (!display_.isOpen())
        return std::nullopt;
    const Window window = windowNumber;
    const auto attributes = display_.attributes(window);
    // No such window: the window server's answer is an empty list.
    if (!attributes)
        return WindowInfoList{};
    const auto states = display_.atomListProperty(window, "_NET_WM_STATE");
    const bool hidden = contains(states, display_.atom("_NET_WM_STATE_HIDDEN"));

    auto name = display_.textProperty(window, "_NET_WM_NAME");
    if (!name)
        name = display_.textProperty(window, "WM_NAME");
    return WindowInfoList{windowDescription(windowNumber, layerOf(display_, window),
                                            attributes->viewable && !hidden,
                                            display_.windowPid(window), name)};
}

}  // namespace fieldpilot::platform::live
