// Keyboard events (Core Graphics) and the secure event input state (Carbon).
#include <ApplicationServices/ApplicationServices.h>
#include <Carbon/Carbon.h>

#include <memory>
#include <utility>

#include "cf_ref.h"
#include "mac_desktop.h"

namespace fieldpilot::platform::mac {
namespace {

struct MacEventSource final : EventSourceHandle {
    explicit MacEventSource(CFRef<CGEventSourceRef> ref) : source(std::move(ref)) {}
    CFRef<CGEventSourceRef> source;
};

struct MacKeyboardEvent final : KeyboardEventHandle {
    explicit MacKeyboardEvent(CFRef<CGEventRef> ref) : event(std::move(ref)) {}
    CFRef<CGEventRef> event;
};

CGEventRef cgEvent(KeyboardEventHandle& event) {
    auto* mac = dynamic_cast<MacKeyboardEvent*>(&event);
    return mac ? mac->event.get() : nullptr;
}

}  // namespace

std::uint64_t MacDesktop::hidSystemModifierFlags() {
    return CGEventSourceFlagsState(kCGEventSourceStateHIDSystemState);
}

std::unique_ptr<EventSourceHandle> MacDesktop::createPrivateEventSource() {
    auto source = CFRef<CGEventSourceRef>::adopt(CGEventSourceCreate(kCGEventSourceStatePrivate));
    if (!source) {
        return nullptr;
    }
    return std::make_unique<MacEventSource>(std::move(source));
}

std::unique_ptr<KeyboardEventHandle> MacDesktop::createKeyboardEvent(
    const EventSourceHandle* source, std::uint16_t keyCode, bool keyDown) {
    const auto* mac = dynamic_cast<const MacEventSource*>(source);
    const CGEventSourceRef sourceRef = mac ? mac->source.get() : nullptr;
    auto event = CFRef<CGEventRef>::adopt(CGEventCreateKeyboardEvent(sourceRef, keyCode, keyDown));
    if (!event) {
        return nullptr;
    }
    return std::make_unique<MacKeyboardEvent>(std::move(event));
}

void MacDesktop::setEventFlags(KeyboardEventHandle& event, std::uint64_t flags) {
    if (const CGEventRef target = cgEvent(event)) {
        CGEventSetFlags(target, static_cast<CGEventFlags>(flags));
    }
}

void MacDesktop::postToHidEventTap(KeyboardEventHandle& event) {
    if (const CGEventRef target = cgEvent(event)) {
        CGEventPost(kCGHIDEventTap, target);
    }
}

bool MacDesktop::isSecureEventInputEnabled() {
    return IsSecureEventInputEnabled();
}

}  // namespace fieldpilot::platform::mac
