// Keyboard events through XTest, the modifier state of the X server, and secure input.
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>

#include <optional>

#include "key_codes.h"
#include "live_desktop.h"
#include "terminal_keys.h"

namespace fieldpilot::platform::live {
namespace {

// macOS event flags (CGEventFlags) by X modifier.
constexpr std::uint64_t kCapsLockFlag = 0x10000;
constexpr std::uint64_t kShiftFlag = 0x20000;
constexpr std::uint64_t kControlFlag = 0x40000;
constexpr std::uint64_t kAlternateFlag = 0x80000;
constexpr std::uint64_t kCommandFlag = 0x100000;
constexpr std::uint16_t kCommandKey = 55;
constexpr std::uint16_t kShiftKey = 56;

struct XTestSource final : EventSourceHandle {};

struct XTestKeyEvent final : KeyboardEventHandle {
    XTestKeyEvent(std::uint16_t macKeyCode, std::uint8_t keycode, bool down,
                  std::optional<std::uint8_t> shift)
        : macKeyCode(macKeyCode), keycode(keycode), down(down), shift(shift) {}
    std::uint16_t macKeyCode;
    std::uint8_t keycode;
    bool down;
    // Shift, pressed after the key and released before it.
    std::optional<std::uint8_t> shift;
};

bool hasXTest(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    return XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
}

}  // namespace

std::uint64_t LiveDesktop::hidSystemModifierFlags() {
    if (!display_.isOpen())
        return 0;
    XkbStateRec state{};
    if (XkbGetState(display_.get(), XkbUseCoreKbd, &state) != Success)
        return 0;
    std::uint64_t flags = 0;
    // Mod1 is Alt and Mod4 is Super under the usual modifier mapping; Super is the key in the
    // Command key's place.
    if (state.mods & LockMask)
        flags |= kCapsLockFlag;
    if (state.mods & ShiftMask)
        flags |= kShiftFlag;
    if (state.mods & ControlMask)
        flags |= kControlFlag;
    if (state.mods & Mod1Mask)
        flags |= kAlternateFlag;
    if (state.mods & Mod4Mask)
        flags |= kCommandFlag;
    return flags;
}

std::unique_ptr<EventSourceHandle> LiveDesktop::createPrivateEventSource() {
    if (!display_.isOpen() || !hasXTest(display_.get()))
        return nullptr;
    return std::make_unique<XTestSource>();
}

std::unique_ptr<KeyboardEventHandle> LiveDesktop::createKeyboardEvent(const EventSourceHandle*,
                                                                      std::uint16_t keyCode,
                                                                      bool keyDown) {
    const auto keycode = xKeycodeForMacKey(keyCode);
    if (!keycode || !display_.isOpen())
        return nullptr;
    std::optional<std::uint8_t> shift;
    if (typingIntoTerminal()) {
        const TerminalKey typed = terminalKey(keyCode, commandHeld_);
        if (typed == TerminalKey::Withheld)
            return nullptr;
        if (typed == TerminalKey::AddShift)
            shift = xKeycodeForMacKey(kShiftKey);
    }
    return std::make_unique<XTestKeyEvent>(keyCode, *keycode, keyDown, shift);
}

// XTest events carry no flags of their own: the modifier keys pressed before a key make the
// state it is typed with, and the logic presses Command (Control here) before its shortcut keys.
void LiveDesktop::setEventFlags(KeyboardEventHandle&, std::uint64_t) {}

void LiveDesktop::postToHidEventTap(KeyboardEventHandle& event) {
    const auto* key = dynamic_cast<const XTestKeyEvent*>(&event);
    if (!key || !display_.isOpen())
        return;
    if (key->shift && !key->down)
        XTestFakeKeyEvent(display_.get(), *key->shift, False, CurrentTime);
    XTestFakeKeyEvent(display_.get(), key->keycode, key->down ? True : False, CurrentTime);
    if (key->shift && key->down)
        XTestFakeKeyEvent(display_.get(), *key->shift, True, CurrentTime);
    XSync(display_.get(), False);
    if (key->macKeyCode == kCommandKey)
        commandHeld_ = key->down;
}

// X11 has no secure input mode that a program could ask about.
bool LiveDesktop::isSecureEventInputEnabled() {
    return false;
}

}  // namespace fieldpilot::platform::live
