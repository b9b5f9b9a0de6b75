// Keys through XTest, and the modifier state and layout of the X server's core keyboard (XKB).
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <xkbcommon/xkbcommon.h>

#include "x11/x11_window_system.h"

namespace fieldpilot::platform::live {
namespace {

// X servers with the evdev rules number keys as the evdev code plus 8, up to 255.
constexpr std::uint16_t kEvdevToXOffset = 8;
constexpr std::uint16_t kHighestXKeycode = 255;
constexpr int kUnshiftedLevel = 0;

std::optional<KeyCode> xKeycodeOf(std::uint16_t evdevCode) {
    if (evdevCode == 0 || evdevCode + kEvdevToXOffset > kHighestXKeycode)
        return std::nullopt;
    return static_cast<KeyCode>(evdevCode + kEvdevToXOffset);
}

bool hasXTest(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    return XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
}

// The keysym at the unshifted level of the group; keys with fewer groups fall back to the first.
KeySym unshiftedKeysym(Display* display, KeyCode keycode, int group) {
    const KeySym keysym = XkbKeycodeToKeysym(display, keycode, group, kUnshiftedLevel);
    if (keysym != NoSymbol || group == 0)
        return keysym;
    return XkbKeycodeToKeysym(display, keycode, 0, kUnshiftedLevel);
}

}  // namespace

bool X11WindowSystem::canPostKeys() {
    return display_.isOpen() && hasXTest(display_.get());
}

void X11WindowSystem::postKey(std::uint16_t evdevCode, bool down) {
    const auto keycode = xKeycodeOf(evdevCode);
    if (!keycode || !display_.isOpen())
        return;
    XTestFakeKeyEvent(display_.get(), *keycode, down ? True : False, CurrentTime);
    XSync(display_.get(), False);
}

std::optional<std::uint64_t> X11WindowSystem::modifierFlags() {
    if (!display_.isOpen())
        return std::nullopt;
    XkbStateRec state{};
    if (XkbGetState(display_.get(), XkbUseCoreKbd, &state) != Success)
        return std::nullopt;
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

std::optional<KeyCharacters> X11WindowSystem::keyCharacters() {
    if (!display_.isOpen())
        return std::nullopt;
    XkbStateRec state{};
    if (XkbGetState(display_.get(), XkbUseCoreKbd, &state) != Success)
        return std::nullopt;
    KeyCharacters characters{};
    for (std::uint16_t evdevCode = 0; evdevCode < kEvdevCodeCount; ++evdevCode) {
        const auto keycode = xKeycodeOf(evdevCode);
        if (!keycode)
            continue;
        const KeySym keysym = unshiftedKeysym(display_.get(), *keycode, state.group);
        characters[evdevCode] = keysym == NoSymbol ? 0 : xkb_keysym_to_utf32(keysym);
    }
    return characters;
}

}  // namespace fieldpilot::platform::live
