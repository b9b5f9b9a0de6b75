// Keyboard events of the seam posted as physical keys of the window system, its modifier state,
// and secure input. In a terminal the keys are typed as the terminal's own shortcuts
// (terminal_keys.h).
#include <optional>

#include "key_codes.h"
#include "live_desktop.h"
#include "terminal_keys.h"

namespace fieldpilot::platform::live {
namespace {

constexpr std::uint16_t kCommandKey = 55;
constexpr std::uint16_t kShiftKey = 56;

struct WindowSystemSource final : EventSourceHandle {};

struct PhysicalKeyEvent final : KeyboardEventHandle {
    PhysicalKeyEvent(std::uint16_t macKeyCode, std::uint16_t evdevCode, bool down,
                     std::optional<std::uint16_t> shift)
        : macKeyCode(macKeyCode), evdevCode(evdevCode), down(down), shift(shift) {}
    std::uint16_t macKeyCode;
    std::uint16_t evdevCode;
    bool down;
    // Shift, pressed after the key and released before it.
    std::optional<std::uint16_t> shift;
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
    std::optional<std::uint16_t> shift;
    if (typingIntoTerminal()) {
        const TerminalKey typed = terminalKey(keyCode, commandHeld_);
        if (typed == TerminalKey::Withheld)
            return nullptr;
        if (typed == TerminalKey::AddShift)
            shift = evdevCodeForMacKey(kShiftKey);
    }
    return std::make_unique<PhysicalKeyEvent>(keyCode, *evdevCode, keyDown, shift);
}

// Physical key events carry no flags of their own: the modifier keys pressed before a key make
// the state it is typed with, and the logic presses Command (Control here) before its shortcut
// keys.
void LiveDesktop::setEventFlags(KeyboardEventHandle&, std::uint64_t) {}

void LiveDesktop::postToHidEventTap(KeyboardEventHandle& event) {
    const auto* key = dynamic_cast<const PhysicalKeyEvent*>(&event);
    if (!key)
        return;
    if (key->shift && !key->down)
        windows_->postKey(*key->shift, false);
    windows_->postKey(key->evdevCode, key->down);
    if (key->shift && key->down)
        windows_->postKey(*key->shift, true);
    if (key->macKeyCode == kCommandKey)
        commandHeld_ = key->down;
}

// Neither X11 nor Wayland has a secure input mode that a program could ask about.
bool LiveDesktop::isSecureEventInputEnabled() {
    return false;
}

}  // namespace fieldpilot::platform::live
