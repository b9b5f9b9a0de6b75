#include "activation.h"

#include <cstdint>

#include "element_access.h"

namespace fieldpilot {

namespace {

using platform::Micros;
using platform::Pid;

// Lets the workspace catch up with activation changes before it is asked.
constexpr Micros kRunLoopSpin{20'000};
constexpr Micros kFrontmostCheckPause{50'000};
constexpr int kFrontmostChecksPerAttempt = 6;
constexpr std::uint32_t kActivateAllWindows = 1;  // NSApplicationActivateAllWindows
constexpr Micros kModifierPollInterval{25'000};
// Shift, Control, Option and Command; Caps Lock (0x10000) and Fn (0x800000) are left out.
constexpr std::uint64_t kHeldModifierMask = 0x1e0000;

// Deadlines are kept in whole microseconds, the clock's own unit, so that a timeout such as 1.2 s
// ends exactly where the clock says it does.
Micros deadlineAfter(platform::Desktop& desktop, Seconds timeout) {
    return desktop.now() + std::chrono::round<Micros>(timeout);
}

bool beforeDeadline(platform::Desktop& desktop, Micros deadline) {
    return desktop.now() < deadline;
}

bool modifiersReleased(platform::Desktop& desktop) {
    return (desktop.hidSystemModifierFlags() & kHeldModifierMask) == 0;
}

// Even attempts use the running application's activation, odd ones the accessibility attribute;
// applications that ignore one of the two often honour the other.
void requestActivation(platform::Desktop& desktop, Pid pid, int attempt) {
    if (attempt % 2 == 0) {
        desktop.activateApplication(pid, kActivateAllWindows);
    } else {
        setFlag(desktop, desktop.createApplicationElement(pid), "AXFrontmost", true);
    }
}

bool becameFrontmostWithinChecks(platform::Desktop& desktop, Pid pid) {
    for (int check = 0; check < kFrontmostChecksPerAttempt; ++check) {
        desktop.sleepFor(kFrontmostCheckPause);
        if (isFrontmost(desktop, pid))
            return true;
    }
    return false;
}

}  // namespace

Pid frontmostPid(platform::Desktop& desktop) {
    const auto focusedApplication =
        attribute(desktop, desktop.createSystemWideElement(), "AXFocusedApplication");
    if (const auto* element = focusedApplication ? focusedApplication->get<Element>() : nullptr) {
        Pid pid = 0;
        if (desktop.getPid(*element, pid) == 0 && pid > 0)
            return pid;
    }
    desktop.spinRunLoop(kRunLoopSpin);
    const auto frontmost = desktop.frontmostApplication();
    return frontmost ? frontmost->pid : 0;
}

bool isRunning(platform::Desktop& desktop, Pid pid) {
    const auto application = desktop.runningApplication(pid);
    return application && !application->terminated;
}

bool isFrontmost(platform::Desktop& desktop, Pid pid) {
    return pid > 0 && frontmostPid(desktop) == pid;
}

bool bringToFront(platform::Desktop& desktop, Pid pid, Seconds timeout) {
    if (isFrontmost(desktop, pid))
        return true;
    if (!isRunning(desktop, pid))
        return false;

    const Micros deadline = deadlineAfter(desktop, timeout);
    for (int attempt = 0; beforeDeadline(desktop, deadline); ++attempt) {
        requestActivation(desktop, pid, attempt);
        if (becameFrontmostWithinChecks(desktop, pid))
            return true;
    }
    return isFrontmost(desktop, pid);
}

bool waitForModifiersReleased(platform::Desktop& desktop, Seconds timeout) {
    const Micros deadline = deadlineAfter(desktop, timeout);
    while (beforeDeadline(desktop, deadline)) {
        if (modifiersReleased(desktop))
            return true;
        desktop.sleepFor(kModifierPollInterval);
    }
    return modifiersReleased(desktop);
}

}  // namespace fieldpilot
