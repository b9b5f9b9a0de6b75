#include "wayland/kde/kwin_windows.h"

#include <nlohmann/json.hpp>

namespace fieldpilot::platform::live {
namespace {

// What both scripts share: the managed windows and the active one, whichever version asks.
constexpr const char* kWorkspace = R"(
var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
var active = workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient;
)";

template <typename T>
T valueOr(const nlohmann::json& object, const char* key, T fallback) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null())
        return fallback;
    return found->get<T>();
}

}  // namespace

std::string windowListScript() {
    return std::string(kWorkspace) + R"(
var list = [];
for (var i = 0; i < windows.length; ++i) {
    var w = windows[i];
    var frame = w.frameGeometry;
    list.push({pid: w.pid, resourceClass: String(w.resourceClass || ""),
               desktopFileName: String(w.desktopFileName || ""), caption: String(w.caption || ""),
               x: frame.x, y: frame.y, width: frame.width, height: frame.height,
               minimized: !!w.minimized, active: w === active, stackingOrder: w.stackingOrder,
               x11Window: w.windowId || 0});
}
answer(JSON.stringify(list));
)";
}

std::optional<std::vector<KWinWindow>> kwinWindows(const std::string& answer) {
    const auto list = nlohmann::json::parse(answer, nullptr, false);
    if (!list.is_array())
        return std::nullopt;
    std::vector<KWinWindow> windows;
    try {
        for (const auto& item : list) {
            KWinWindow window;
            window.pid = valueOr<Pid>(item, "pid", 0);
            window.resourceClass = valueOr<std::string>(item, "resourceClass", "");
            if (auto name = valueOr<std::string>(item, "desktopFileName", ""); !name.empty())
                window.desktopFileName = std::move(name);
            window.caption = valueOr<std::string>(item, "caption", "");
            window.frame = {valueOr<double>(item, "x", 0), valueOr<double>(item, "y", 0),
                            valueOr<double>(item, "width", 0), valueOr<double>(item, "height", 0)};
            window.minimized = valueOr<bool>(item, "minimized", false);
            window.active = valueOr<bool>(item, "active", false);
            window.stackingOrder = valueOr<std::int64_t>(item, "stackingOrder", 0);
            window.x11Window = valueOr<std::uint32_t>(item, "x11Window", 0);
            windows.push_back(std::move(window));
        }
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
    return windows;
}

// Normal windows and dialogs only: a process's menus, tooltips and splash screens are windows to
// KWin too, and activating one of those would not bring the application forward.
std::string activationScript(Pid pid) {
    return std::string(kWorkspace) + "var pid = " + std::to_string(pid) + ";\n" + R"(
var chosen = null;
for (var i = 0; i < windows.length; ++i) {
    var w = windows[i];
    if (w.pid !== pid || w.minimized || !(w.normalWindow || w.dialog))
        continue;
    if (!chosen || w.stackingOrder > chosen.stackingOrder)
        chosen = w;
}
if (chosen) {
    if (workspace.activeWindow !== undefined)
        workspace.activeWindow = chosen;
    else
        workspace.activeClient = chosen;
}
answer(chosen ? "true" : "false");
)";
}

std::optional<KWinWindow> windowOfProcess(const std::vector<KWinWindow>& windows, Pid pid) {
    const KWinWindow* chosen = nullptr;
    for (const auto& window : windows) {
        if (window.pid != pid)
            continue;
        if (window.active)
            return window;
        if (!chosen || window.stackingOrder > chosen->stackingOrder)
            chosen = &window;
    }
    if (!chosen)
        return std::nullopt;
    return *chosen;
}

}  // namespace fieldpilot::platform::live
