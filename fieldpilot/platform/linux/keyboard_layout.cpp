// The current XKB layout as this backend's layout data, and key translation over it.
#include <X11/XKBlib.h>
#include <xkbcommon/xkbcommon.h>

#include <vector>

#include "key_codes.h"
#include "key_layout.h"
#include "live_desktop.h"

namespace fieldpilot::platform::live {
namespace {

struct XkbLayoutSource final : InputSourceHandle {
    explicit XkbLayoutSource(std::vector<std::uint8_t> data) : data(std::move(data)) {}
    std::vector<std::uint8_t> data;
};

constexpr int kUnshiftedLevel = 0;

// The keysym at the unshifted level of the group; keys with fewer groups fall back to the first.
KeySym unshiftedKeysym(Display* display, std::uint8_t keycode, int group) {
    const KeySym keysym = XkbKeycodeToKeysym(display, keycode, group, kUnshiftedLevel);
    if (keysym != NoSymbol || group == 0)
        return keysym;
    return XkbKeycodeToKeysym(display, keycode, 0, kUnshiftedLevel);
}

}  // namespace

std::unique_ptr<InputSourceHandle> LiveDesktop::copyCurrentKeyboardLayoutInputSource() {
    if (!display_.isOpen())
        return nullptr;
    XkbStateRec state{};
    if (XkbGetState(display_.get(), XkbUseCoreKbd, &state) != Success)
        return nullptr;
    LayoutCharacters characters{};
    for (std::uint16_t macKey = 0; macKey < kMacKeyCodeCount; ++macKey) {
        const auto keycode = xKeycodeForMacKey(macKey);
        if (!keycode)
            continue;
        const KeySym keysym = unshiftedKeysym(display_.get(), *keycode, state.group);
        characters[macKey] = keysym == NoSymbol ? 0 : xkb_keysym_to_utf32(keysym);
    }
    return std::make_unique<XkbLayoutSource>(encodeLayout(characters));
}

std::optional<std::span<const std::uint8_t>> LiveDesktop::unicodeKeyLayoutData(
    const InputSourceHandle& source) {
    const auto* layout = dynamic_cast<const XkbLayoutSource*>(&source);
    if (!layout)
        return std::nullopt;
    return std::span<const std::uint8_t>(layout->data);
}

// Only the key down at the unshifted level is modelled, which is what the logic asks; dead keys
// type nothing here rather than starting a composition.
KeyTranslation LiveDesktop::translateKey(std::span<const std::uint8_t> layoutData,
                                         std::uint16_t keyCode, std::uint16_t, std::uint32_t,
                                         std::uint32_t, std::uint32_t, std::uint32_t& deadKeyState,
                                         std::size_t maxLength) {
    deadKeyState = 0;
    return translateWithLayout(layoutData, keyCode, maxLength);
}

// There is no keyboard hardware type to report; translation does not depend on it here.
std::uint32_t LiveDesktop::keyboardType() {
    return 0;
}

}  // namespace fieldpilot::platform::live
