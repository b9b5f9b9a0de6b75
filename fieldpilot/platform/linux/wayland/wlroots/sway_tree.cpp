#include "wayland/wlroots/sway_tree.h"

namespace fieldpilot::platform::live {
namespace {

using nlohmann::json;

std::optional<std::string> textField(const json& node, const char* key) {
    const auto found = node.find(key);
    if (found == node.end() || !found->is_string())
        return std::nullopt;
    return found->get<std::string>();
}

std::optional<std::int64_t> integerField(const json& node, const char* key) {
    const auto found = node.find(key);
    if (found == node.end() || !found->is_number_integer())
        return std::nullopt;
    return found->get<std::int64_t>();
}

double number(const json& object, const char* key) {
    const auto found = object.find(key);
    return found != object.end() && found->is_number() ? found->get<double>() : 0.0;
}

// Containers and workspaces have no process; a view always has one.
std::optional<SwayWindow> viewOf(const json& node, bool floating) {
    const auto pid = integerField(node, "pid");
    const auto id = integerField(node, "id");
    if (!pid || !id || *pid <= 0)
        return std::nullopt;
    SwayWindow window;
    window.id = *id;
    window.pid = static_cast<Pid>(*pid);
    window.x11Window = integerField(node, "window");
    window.appId = textField(node, "app_id");
    if (const auto properties = node.find("window_properties");
        properties != node.end() && properties->is_object())
        window.windowClass = textField(*properties, "class");
    window.name = textField(node, "name");
    window.focused = node.value("focused", false) == true;
    window.visible = node.value("visible", false) == true;
    window.floating = floating;
    if (const auto rect = node.find("rect"); rect != node.end() && rect->is_object()) {
        window.rect = {number(*rect, "x"), number(*rect, "y"), number(*rect, "width"),
                       number(*rect, "height")};
    }
    return window;
}

void collect(const json& node, bool floating, std::vector<SwayWindow>& windows) {
    if (!node.is_object())
        return;
    if (auto view = viewOf(node, floating))
        windows.push_back(std::move(*view));
    for (const char* key : {"nodes", "floating_nodes"}) {
        const auto children = node.find(key);
        if (children == node.end() || !children->is_array())
            continue;
        for (const auto& child : *children)
            collect(child, floating || std::string_view(key) == "floating_nodes", windows);
    }
}

}  // namespace

std::vector<SwayWindow> swayWindows(const json& tree) {
    std::vector<SwayWindow> windows;
    collect(tree, false, windows);
    return windows;
}

std::optional<SwayWindow> windowOfProcess(const std::vector<SwayWindow>& windows, Pid pid) {
    const SwayWindow* chosen = nullptr;
    for (const auto& window : windows) {
        if (window.pid != pid)
            continue;
        if (window.focused)
            return window;
        if (!chosen || (window.visible && !chosen->visible))
            chosen = &window;
    }
    return chosen ? std::optional<SwayWindow>(*chosen) : std::nullopt;
}

std::optional<SwayWindow> windowWithId(const std::vector<SwayWindow>& windows, std::int64_t id) {
    for (const auto& window : windows) {
        if (window.id == id || window.x11Window == id)
            return window;
    }
    return std::nullopt;
}

}  // namespace fieldpilot::platform::live
