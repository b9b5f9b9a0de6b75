// The windows of sway's tree (get_tree), as the window system needs them.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "window_system.h"

namespace fieldpilot::platform::live {

struct SwayWindow {
    std::int64_t id = 0;                    // the IPC's node id
    std::optional<std::int64_t> x11Window;  // the X window id of an XWayland window
    Pid pid = 0;
    std::optional<std::string> appId;        // native Wayland windows
    std::optional<std::string> windowClass;  // XWayland windows
    std::optional<std::string> name;
    bool focused = false;
    bool visible = false;
    bool floating = false;
    ScreenRect rect;
};

// Every window (view) of the tree, tiled and floating, in the tree's order.
std::vector<SwayWindow> swayWindows(const nlohmann::json& tree);
// The process's focused window, else its first visible one, else its first.
std::optional<SwayWindow> windowOfProcess(const std::vector<SwayWindow>& windows, Pid pid);
// The window with that IPC id or, for XWayland windows, that X window id.
std::optional<SwayWindow> windowWithId(const std::vector<SwayWindow>& windows, std::int64_t id);

}  // namespace fieldpilot::platform::live
