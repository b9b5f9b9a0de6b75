// "window" (what the window server knows of one window) and "activate" (bring an application to
// the front on the host's request).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "activation.h"
#include "command.h"
#include "operands.h"

namespace fieldpilot {

namespace {

using platform::WindowDescription;

constexpr std::string_view kWindowUsage = "usage: fieldpilot window <id>";
constexpr std::string_view kActivateUsage = "usage: fieldpilot activate <pid>";
constexpr std::size_t kIdOperand = 2;
constexpr Seconds kActivateTimeout{2.0};
constexpr std::int64_t kUnknownLayer = -1;

// The window's description, when the window server returns a non-empty list whose every entry is
// a dictionary with string keys: then its first entry.
std::optional<WindowDescription> windowDescription(platform::Desktop& desktop,
                                                   std::uint32_t windowNumber) {
    const auto list = desktop.copyWindowInfo(windowNumber);
    if (!list || list->empty())
        return std::nullopt;
    for (const auto& entry : *list) {
        if (!entry)
            return std::nullopt;
    }
    return list->front();
}

// The description's value under `key` when it is present and of kind T.
template <typename T>
std::optional<T> member(const std::optional<WindowDescription>& description, std::string_view key) {
    if (!description)
        return std::nullopt;
    for (const auto& [name, value] : *description) {
        if (name != key)
            continue;
        if (const T* typed = value.template get<T>())
            return *typed;
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

Ending windowCommand(Context& context) {
    platform::Desktop& desktop = context.desktop;
    const auto idText = operand(context.args, kIdOperand);
    const auto windowNumber = idText ? parseWindowId(*idText) : std::nullopt;
    if (!windowNumber)
        return Ending::error(std::string(kWindowUsage));

    const auto description = windowDescription(desktop, *windowNumber);
    const std::int64_t layer =
        member<std::int64_t>(description, "kCGWindowLayer").value_or(kUnknownLayer);
    const bool onscreen = member<bool>(description, "kCGWindowIsOnscreen").value_or(false);
    return Ending::success({{"found", description.has_value()},
                            {"layer", layer},
                            {"onscreen", onscreen},
                            {"frontPid", frontmostPid(desktop)}});
}

Ending activateCommand(Context& context) {
    platform::Desktop& desktop = context.desktop;
    const auto pidText = operand(context.args, kIdOperand);
    const auto pid = pidText ? parsePid(*pidText) : std::nullopt;
    if (!pid)
        return Ending::error(std::string(kActivateUsage));
    if (!isRunning(desktop, *pid))
        return Ending::error("app_not_running");

    const bool frontmost = bringToFront(desktop, *pid, kActivateTimeout);
    return Ending::success({{"frontmost", frontmost}, {"frontPid", frontmostPid(desktop)}});
}

}  // namespace fieldpilot
