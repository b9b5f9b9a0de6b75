// The window system's layout as this backend's layout data, and key translation over it.
#include "key_codes.h"
#include "key_layout.h"
#include "live_desktop.h"

namespace fieldpilot::platform::live {
namespace {

struct KeyLayoutSource final : InputSourceHandle {
    explicit KeyLayoutSource(std::vector<std::uint8_t> data) : data(std::move(data)) {}
    std::vector<std::uint8_t> data;
};

}  // namespace

std::unique_ptr<InputSourceHandle> LiveDesktop::copyCurrentKeyboardLayoutInputSource() {
    const auto keys = windows_->keyCharacters();
    if (!keys)
        return nullptr;
    LayoutCharacters characters{};
    for (std::uint16_t macKey = 0; macKey < kMacKeyCodeCount; ++macKey) {
        if (const auto evdevCode = evdevCodeForMacKey(macKey))
            characters[macKey] = (*keys)[*evdevCode];
    }
    return std::make_unique<KeyLayoutSource>(encodeLayout(characters));
}

std::optional<std::span<const std::uint8_t>> LiveDesktop::unicodeKeyLayoutData(
    const InputSourceHandle& source) {
    const auto* layout = dynamic_cast<const KeyLayoutSource*>(&source);
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
