// The choice of window system at start, from what the session names.
#include <cstdlib>

#include "wayland/gnome/gnome_window_system.h"
#include "wayland/kde/kde_window_system.h"
#include "wayland/wlroots/wlroots_window_system.h"
#include "window_system.h"
#include "x11/x11_window_system.h"

namespace fieldpilot::platform::live {
namespace {

const char* nonEmptyVariable(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

}  // namespace

// A Wayland compositor whose services answer comes first; otherwise X11, which under an unknown
// Wayland compositor reaches its XWayland windows.
std::unique_ptr<WindowSystem> openWindowSystem() {
    if (nonEmptyVariable("WAYLAND_DISPLAY")) {
        if (const char* socket = nonEmptyVariable("SWAYSOCK")) {
            auto sway = std::make_unique<WlrootsWindowSystem>(socket);
            if (sway->isOpen())
                return sway;
        }
        auto gnome = std::make_unique<GnomeWindowSystem>();
        if (gnome->isOpen())
            return gnome;
        auto kde = std::make_unique<KdeWindowSystem>();
        if (kde->isOpen())
            return kde;
    }
    return std::make_unique<X11WindowSystem>();
}

}  // namespace fieldpilot::platform::live
