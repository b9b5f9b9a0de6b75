// Trust and elements.
#include "ax_status.h"
#include "live_desktop.h"
#include "live_element.h"

namespace fieldpilot::platform::live {

LiveDesktop::LiveDesktop() : windows_(openWindowSystem()) {
    if (windows_->isOpen())
        session_.connect(windows_->accessibilityBusAddress());
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
    pid = live->pid;
    return kAXSuccess;
}

}  // namespace fieldpilot::platform::live
