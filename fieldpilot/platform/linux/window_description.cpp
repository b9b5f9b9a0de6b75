#include "window_system.h"

namespace fieldpilot::platform::live {

WindowDescription windowDescription(std::uint32_t windowNumber, std::int64_t layer, bool onscreen,
                                    std::optional<Pid> owner,
                                    const std::optional<std::string>& name) {
    WindowDescription description{
        {"kCGWindowNumber", Value(static_cast<std::int64_t>(windowNumber))},
        {"kCGWindowLayer", Value(layer)},
        {"kCGWindowIsOnscreen", Value(onscreen)},
    };
    if (owner)
        description.emplace_back("kCGWindowOwnerPID", Value(static_cast<std::int64_t>(*owner)));
    if (name)
        description.emplace_back("kCGWindowName", Value(*name));
    return description;
}

}  // namespace fieldpilot::platform::live
