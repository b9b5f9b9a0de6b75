#include "wayland/gnome/active_frame.h"

#include <atspi/atspi.h>

#include <array>
#include <string_view>

#include "accessible_reads.h"
#include "g_ref.h"

namespace fieldpilot::platform::live {
namespace {

constexpr std::array<std::string_view, 2> kStaleApplications = {"gnome-shell", "mutter-x11-frames"};

bool isStale(AtspiAccessible* application) {
    const auto name = nameOf(application);
    if (!name)
        return true;
    for (const auto stale : kStaleApplications) {
        if (*name == stale)
            return true;
    }
    return false;
}

bool isActiveWindow(AtspiAccessible* window) {
    const auto states = GRef<AtspiStateSet>::adopt(atspi_accessible_get_state_set(window));
    return states && hasState(states.get(), ATSPI_STATE_ACTIVE) &&
           hasState(states.get(), ATSPI_STATE_SHOWING) &&
           !hasState(states.get(), ATSPI_STATE_ICONIFIED);
}

bool hasActiveWindow(AtspiAccessible* application) {
    GError* error = nullptr;
    const int count = atspi_accessible_get_child_count(application, &error);
    if (error) {
        g_clear_error(&error);
        return false;
    }
    for (int index = 0; index < count; ++index) {
        const auto window = GRef<AtspiAccessible>::adopt(
            atspi_accessible_get_child_at_index(application, index, &error));
        g_clear_error(&error);
        if (window && isActiveWindow(window.get()))
            return true;
    }
    return false;
}

}  // namespace

std::optional<Pid> activeFramePid() {
    const auto desktop = GRef<AtspiAccessible>::adopt(atspi_get_desktop(0));
    if (!desktop)
        return std::nullopt;
    GError* error = nullptr;
    const int count = atspi_accessible_get_child_count(desktop.get(), &error);
    g_clear_error(&error);
    for (int index = 0; index < count; ++index) {
        const auto application = GRef<AtspiAccessible>::adopt(
            atspi_accessible_get_child_at_index(desktop.get(), index, &error));
        g_clear_error(&error);
        if (!application || isStale(application.get()) || !hasActiveWindow(application.get()))
            continue;
        const guint pid = atspi_accessible_get_process_id(application.get(), &error);
        if (error) {
            g_clear_error(&error);
            continue;
        }
        return static_cast<Pid>(pid);
    }
    return std::nullopt;
}

}  // namespace fieldpilot::platform::live
