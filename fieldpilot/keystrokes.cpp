#include "keystrokes.h"

#include <optional>
#include <string>

#include "utf.h"

namespace fieldpilot {

namespace {

using platform::Desktop;
using platform::EventSourceHandle;
using platform::Micros;

constexpr KeyCode kCommandKey = 55;
constexpr std::uint64_t kCommandFlag = 0x100000;  // kCGEventFlagMaskCommand
constexpr std::uint64_t kNoFlags = 0;
constexpr Micros kPauseAfterKeyEvent{12'000};

constexpr KeyCode kLastScannedKeyCode = 127;
constexpr std::uint16_t kKeyActionDown = 0;  // kUCKeyActionDown
constexpr std::uint32_t kNoModifiers = 0;
// UCKeyTranslate's modifier key state for Command alone: (cmdKey >> 8) & 0xFF, cmdKey being 0x100.
constexpr std::uint32_t kCommandModifiers = (0x100 >> 8) & 0xFF;
constexpr std::uint32_t kNoTranslationOptions = 0;
constexpr std::size_t kTranslationBufferUnits = 4;

// The UTF-8 form of one UTF-16 unit; none for a lone surrogate, which is no text on its own.
std::optional<std::string> utf8Of(char16_t unit) {
    if (utf::isSurrogate(unit))
        return std::nullopt;
    std::string text;
    utf::appendUtf8(text, unit);
    return text;
}

// What the key types with these modifiers held, when that is exactly one UTF-16 unit.
std::optional<std::string> typedText(Desktop& desktop, std::span<const std::uint8_t> layout,
                                     KeyCode key, std::uint32_t modifiers,
                                     std::uint32_t keyboardType) {
    std::uint32_t deadKeyState = 0;
    const auto translation =
        desktop.translateKey(layout, key, kKeyActionDown, modifiers, keyboardType,
                             kNoTranslationOptions, deadKeyState, kTranslationBufferUnits);
    if (translation.status != 0 || translation.characters.size() != 1)
        return std::nullopt;
    return utf8Of(translation.characters.front());
}

std::optional<KeyCode> keyTyping(Desktop& desktop, std::span<const std::uint8_t> layout,
                                 std::string_view wanted, std::uint32_t modifiers,
                                 std::uint32_t keyboardType) {
    for (KeyCode key = 0; key <= kLastScannedKeyCode; ++key) {
        if (typedText(desktop, layout, key, modifiers, keyboardType) == wanted)
            return key;
    }
    return std::nullopt;
}

void postKeyEvent(Desktop& desktop, const EventSourceHandle* source, KeyCode key, bool down,
                  std::uint64_t flags) {
    const auto event = desktop.createKeyboardEvent(source, key, down);
    if (!event)
        return;
    desktop.setEventFlags(*event, flags);
    desktop.postToHidEventTap(*event);
    desktop.sleepFor(kPauseAfterKeyEvent);
}

}  // namespace

KeyCode keyCode(Desktop& desktop, std::string_view wanted, KeyCode fallback) {
    const auto inputSource = desktop.copyCurrentKeyboardLayoutInputSource();
    if (!inputSource)
        return fallback;
    const auto layout = desktop.unicodeKeyLayoutData(*inputSource);
    if (!layout || layout->empty())
        return fallback;

    // The shortcut is pressed with Command held, and some layouts ("Dvorak – QWERTY ⌘") type
    // other letters then: the key that types the letter with Command is the one to press.
    const std::uint32_t keyboardType = desktop.keyboardType();
    for (const std::uint32_t modifiers : {kCommandModifiers, kNoModifiers}) {
        if (const auto key = keyTyping(desktop, *layout, wanted, modifiers, keyboardType))
            return *key;
    }
    return fallback;
}

void pressCommand(Desktop& desktop, KeyCode key) {
    // Without a source the events are still created, from no source.
    const auto source = desktop.createPrivateEventSource();
    postKeyEvent(desktop, source.get(), kCommandKey, true, kCommandFlag);
    postKeyEvent(desktop, source.get(), key, true, kCommandFlag);
    postKeyEvent(desktop, source.get(), key, false, kCommandFlag);
    postKeyEvent(desktop, source.get(), kCommandKey, false, kNoFlags);
}

bool pressKey(Desktop& desktop, KeyCode key) {
    const auto source = desktop.createPrivateEventSource();
    if (!source)
        return false;
    bool posted = true;
    for (const bool down : {true, false}) {
        // A key event that cannot be created is left out, but the pause after it is kept.
        if (const auto event = desktop.createKeyboardEvent(source.get(), key, down)) {
            desktop.postToHidEventTap(*event);
        } else {
            posted = false;
        }
        desktop.sleepFor(kPauseAfterKeyEvent);
    }
    return posted;
}

}  // namespace fieldpilot
