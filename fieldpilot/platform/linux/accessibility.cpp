// Trust and elements.
#include "ax_status.h"
#include "live_desktop.h"
#include "live_element.h"

namespace fieldpilot::platform::live {

// Toolkits read org.a11y.Status.IsEnabled as they start (Qt 6 only then), so it is turned on by
// every run, also one that finds nothing to act on, for the applications started after it.
LiveDesktop::LiveDesktop() : windows_(openWindowSystem()) {
    if (!windows_->isOpen())
        return;
    session_.connect(windows_->accessibilityBusAddress());
    session_.enableToolkitAccessibility();
}

// The counterpart of the accessibility permission: a window system to act on and an
// accessibility registry that answers.
bool LiveDesktop::isProcessTrusted() {
    return windows_->isOpen() && session_.connected();
}

Element LiveDesktop::createApplicationElement(Pid pid) {
    return makeElement(LiveElement::Kind::Application, pid);
}

Element LiveDesktop::createSystemWideElement() {
    return makeElement(LiveElement::Kind::SystemWide, 0);
}

AXStatus LiveDesktop::getPid(const Element& element, Pid& pid) {
    const LiveElement* live = liveElement(element);
    if (!live)
        return kAXErrorIllegalArgument;
    if (live->kind == LiveElement::Kind::SystemWide)
        return kAXErrorInvalidUIElement;
    if (live->kind == LiveElement::Kind::Application) {
        pid = live->pid;
        return kAXSuccess;
    }
    // The process that serves the element, which the bus daemon knows: an application may hand
    // out elements of another process, and the one it was asked through is not the owner then.
    GError* error = nullptr;
    const guint owner = atspi_accessible_get_process_id(live->accessible.get(), &error);
    const bool known = error == nullptr && owner > 0;
    g_clear_error(&error);
    if (!known)
        return kAXErrorCannotComplete;
    pid = static_cast<Pid>(owner);
    return kAXSuccess;
}

}  // namespace fieldpilot::platform::live
