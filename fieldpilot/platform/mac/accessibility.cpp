// Accessibility (ApplicationServices): trust, elements, attribute reads and writes.
#include <ApplicationServices/ApplicationServices.h>

#include "cf_text.h"
#include "element_handle.h"
#include "mac_desktop.h"
#include "value_conversion.h"

namespace fieldpilot::platform::mac {

bool MacDesktop::isProcessTrusted() {
    return AXIsProcessTrusted();
}

Element MacDesktop::createApplicationElement(Pid pid) {
    return makeElement(CFRef<AXUIElementRef>::adopt(AXUIElementCreateApplication(pid)));
}

Element MacDesktop::createSystemWideElement() {
    return makeElement(CFRef<AXUIElementRef>::adopt(AXUIElementCreateSystemWide()));
}

AttributeRead MacDesktop::copyAttributeValue(const Element& element, std::string_view name) {
    const AXUIElementRef target = axElement(element);
    const CFRef<CFStringRef> attribute = cfStringFromUtf8(name);
    if (!target || !attribute) {
        return {kAXErrorIllegalArgument, std::nullopt};
    }
    CFTypeRef slot = nullptr;
    AttributeRead read;
    read.status = AXUIElementCopyAttributeValue(target, attribute.get(), &slot);
    // The slot is ours under the Copy rule, whatever the status; the caller decides what a value
    // beside a failure means.
    const auto value = CFRef<CFTypeRef>::adopt(slot);
    if (value) {
        read.value = valueFromCF(value.get());
    }
    return read;
}

AXStatus MacDesktop::setAttributeValue(const Element& element, std::string_view name,
                                       const Value& value) {
    const AXUIElementRef target = axElement(element);
    const CFRef<CFStringRef> attribute = cfStringFromUtf8(name);
    const CFRef<CFTypeRef> object = cfFromValue(value);
    if (!target || !attribute || !object) {
        return kAXErrorIllegalArgument;
    }
    return AXUIElementSetAttributeValue(target, attribute.get(), object.get());
}

AXStatus MacDesktop::isAttributeSettable(const Element& element, std::string_view name,
                                         bool& settable) {
    const AXUIElementRef target = axElement(element);
    const CFRef<CFStringRef> attribute = cfStringFromUtf8(name);
    if (!target || !attribute) {
        return kAXErrorIllegalArgument;
    }
    Boolean answer = false;
    const AXError status = AXUIElementIsAttributeSettable(target, attribute.get(), &answer);
    if (status == kAXErrorSuccess) {
        settable = answer != 0;
    }
    return status;
}

AXStatus MacDesktop::getPid(const Element& element, Pid& pid) {
    const AXUIElementRef target = axElement(element);
    if (!target) {
        return kAXErrorIllegalArgument;
    }
    pid_t answer = 0;
    const AXError status = AXUIElementGetPid(target, &answer);
    if (status == kAXErrorSuccess) {
        pid = answer;
    }
    return status;
}

// Chromium and Electron build their trees on macOS when asked through AXManualAccessibility or
// AXEnhancedUserInterface, which focus discovery writes first; no application hides it.
bool MacDesktop::hidesAccessibilityTree(const Element&) {
    return false;
}

}  // namespace fieldpilot::platform::mac
