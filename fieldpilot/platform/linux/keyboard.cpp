// Keyboard events of the seam posted as physical keys of the window system, its modifier state,
// and secure input.
#include "key_codes.h"
#include "live_desktop.h"

namespace fieldpilot::platform::live {
namespace {

struct WindowSystemSource final : EventSourceHandle {};

struct PhysicalKeyEvent final : KeyboardEventHandle {
    PhysicalKeyEvent(std::uint16_t evdevCode, bool down) : evdevCode(evdevCode), down(down) {}
    std::uint16_t evdevCode;
    bool down;
};

}  // namespace

// A window system that cannot tell the modifiers reports none held, so the wait for the user to
// release them ends at once rather than timing out.
std::uint64_t LiveDesktop::hidSystemModifierFlags() {
    return windows_->modifierFlags().value_or(0);
}

std::unique_ptr<EventSourceHandle> LiveDesktop::createPrivateEventSource() {
    if (!windows_->canPostKeys())
        return nullptr;
    return std::make_unique<WindowSystemSource>();
}

std::unique_ptr<KeyboardEventHandle> LiveDesktop::createKeyboardEvent(const EventSourceHandle*,
                                                                      std::uint16_t keyCode,
                                                                      bool keyDown) {
    const auto evdevCode = evdevCodeForMacKey(keyCode);
    if (!evdevCode || !windows_->isOpen())
        return nullptr;
    return std::make_unique<PhysicalKeyEvent>(*evdevCode, keyDown);
}

// Physical key events carry no flags of their own: the modifier keys pressed before a key make
// the state it is typed with, and the logic presses Command (Control here) before its shortcut
// keys.
void LiveDesktop::setEventFlags(KeyboardEventHandle&, std::uint64_t) {}

void LiveDesktop::postToHidEventTap(KeyboardEventHandle& event) {
    const auto* key = dynamic_cast<const PhysicalKeyEvent*>(&event);
    if (!key)
        return;
    windows_->postKey(key->evdevCode, key->down);
}

// Neither X11 nor Wayland has a secure input mode that a program could ask about.
bool LiveDesktop::isSecureEventInputEnabled() {
    return false;
}

}  // namespace fieldpilot::platform::live
