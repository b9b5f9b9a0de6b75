// Window positions from the window system, where AT-SPI's "screen" extents are relative to a
// window (every Wayland toolkit): only the compositor knows where a window is.
#include "accessible_reads.h"
#include "ax_status.h"
#include "live_desktop.h"
#include "live_element.h"

namespace fieldpilot::platform::live {
namespace {

bool isTopLevelWindow(ApplicationCall& call, AtspiAccessible* accessible) {
    const auto parent =
        GRef<AtspiAccessible>::adopt(atspi_accessible_get_parent(accessible, call.error()));
    if (call.hasError() || !parent)
        return false;
    return atspi_accessible_get_role(parent.get(), call.error()) == ATSPI_ROLE_APPLICATION;
}

}  // namespace

// A top-level window is where the compositor puts the process's active window; an element inside
// one has no position that could honestly be called a screen position.
AttributeRead LiveDesktop::windowSystemExtents(const LiveElement& element, bool position) {
    ApplicationCall call(session_, element.pid);
    if (call.refused())
        return {call.failed(), std::nullopt};
    if (!isTopLevelWindow(call, element.accessible.get())) {
        if (call.hasError())
            return {call.failed(), std::nullopt};
        return {kAXErrorNoValue, std::nullopt};
    }
    const auto bounds = windows_->windowBounds(element.pid);
    if (!bounds)
        return {kAXErrorNoValue, std::nullopt};
    if (position)
        return {kAXSuccess, Value(Geometry{Geometry::Type::Point, {bounds->x, bounds->y}})};
    return {kAXSuccess, Value(Geometry{Geometry::Type::Size, {bounds->width, bounds->height}})};
}

}  // namespace fieldpilot::platform::live
