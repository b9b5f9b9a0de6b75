// The window system under the live backend: what the workspace, keyboard and window-list services
// need from X11 or from a Wayland compositor, while AT-SPI stays shared. One is chosen at start
// from the session (openWindowSystem); the seam's side decides which keys to press and what the
// answers mean, a window system only reports and posts.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace fieldpilot::platform::live {

// Linux input event codes (linux/input-event-codes.h) run below this.
constexpr std::uint16_t kEvdevCodeCount = 256;
// The character each physical key types at the current layout's unshifted level, by evdev code
// (0: none).
using KeyCharacters = std::array<char32_t, kEvdevCodeCount>;

// What the window system knows of a process's windows.
struct WindowOwner {
    std::optional<std::string> windowClass;    // WM_CLASS, or the Wayland app id
    std::optional<std::string> applicationId;  // the GTK application id, where it is published
};

struct ScreenRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// The level of normal windows, as macOS numbers window levels; Wayland compositors have no levels
// of the kinds macOS numbers, so every window of theirs sits there.
constexpr std::int64_t kNormalWindowLayer = 0;

// One window as the window server describes it, in CGWindowListCopyWindowInfo's keys; the owner
// and the name are left out when unknown.
WindowDescription windowDescription(std::uint32_t windowNumber, std::int64_t layer, bool onscreen,
                                    std::optional<Pid> owner,
                                    const std::optional<std::string>& name);

// CGEventFlags bits of the modifiers a window system can report.
constexpr std::uint64_t kCapsLockFlag = 0x10000;
constexpr std::uint64_t kShiftFlag = 0x20000;
constexpr std::uint64_t kControlFlag = 0x40000;
constexpr std::uint64_t kAlternateFlag = 0x80000;
constexpr std::uint64_t kCommandFlag = 0x100000;

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // Whether the display or compositor could be reached at all.
    virtual bool isOpen() = 0;
    // The accessibility bus address the window system publishes (X11's AT_SPI_BUS root property).
    virtual std::optional<std::string> accessibilityBusAddress() = 0;

    // The process owning the active window.
    virtual std::optional<Pid> frontmostPid() = 0;
    virtual WindowOwner describe(Pid pid) = 0;
    // Asks for the process's topmost window to become active; true when the request was made.
    // Whether it worked is for the caller to read back.
    virtual bool activate(Pid pid) = 0;

    // Whether keys can be posted in this session.
    virtual bool canPostKeys() = 0;
    // Presses or releases the physical key with that evdev code.
    virtual void postKey(std::uint16_t evdevCode, bool down) = 0;
    // The modifiers the user holds as CGEventFlags; none when the window system cannot tell.
    virtual std::optional<std::uint64_t> modifierFlags() = 0;
    // The layout keys are typed with; none when it cannot be known.
    virtual std::optional<KeyCharacters> keyCharacters() = 0;

    // The window server's description of the window with that id: an empty list for no such
    // window, none when the window server cannot be asked.
    virtual std::optional<WindowInfoList> windowInfo(std::uint32_t windowId) = 0;
    // Whether AT-SPI's screen extents are positions on the screen (X11), rather than relative to
    // a window, as every Wayland toolkit reports them.
    virtual bool accessibleExtentsAreOnScreen() = 0;
    // Where the process's active (else topmost) window is; none when the window system cannot
    // tell.
    virtual std::optional<ScreenRect> windowBounds(Pid pid) = 0;
};

// The window system of this session: a Wayland compositor that WAYLAND_DISPLAY and the
// compositor's own services name, else the X display DISPLAY names.
std::unique_ptr<WindowSystem> openWindowSystem();

}  // namespace fieldpilot::platform::live
