// The current keyboard layout and key translation (Carbon text input).
#include <Carbon/Carbon.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "cf_ref.h"
#include "mac_desktop.h"

namespace fieldpilot::platform::mac {
namespace {

struct MacInputSource final : InputSourceHandle {
    explicit MacInputSource(CFRef<TISInputSourceRef> ref) : source(std::move(ref)) {}
    CFRef<TISInputSourceRef> source;
};

}  // namespace

std::unique_ptr<InputSourceHandle> MacDesktop::copyCurrentKeyboardLayoutInputSource() {
    auto source = CFRef<TISInputSourceRef>::adopt(TISCopyCurrentKeyboardLayoutInputSource());
    if (!source) {
        return nullptr;
    }
    return std::make_unique<MacInputSource>(std::move(source));
}

std::optional<std::span<const std::uint8_t>> MacDesktop::unicodeKeyLayoutData(
    const InputSourceHandle& source) {
    const auto* mac = dynamic_cast<const MacInputSource*>(&source);
    if (!mac) {
        return std::nullopt;
    }
    // Get rule: the data belongs to the input source and lives as long as `source` does.
    const void* property =
        TISGetInputSourceProperty(mac->source.get(), kTISPropertyUnicodeKeyLayoutData);
    if (!property || CFGetTypeID(property) != CFDataGetTypeID()) {
        return std::nullopt;
    }
    const auto data = static_cast<CFDataRef>(property);
    return std::span<const std::uint8_t>(CFDataGetBytePtr(data),
                                         static_cast<std::size_t>(CFDataGetLength(data)));
}

KeyTranslation MacDesktop::translateKey(std::span<const std::uint8_t> layoutData,
                                        std::uint16_t keyCode, std::uint16_t keyAction,
                                        std::uint32_t modifierKeyState, std::uint32_t keyboardType,
                                        std::uint32_t options, std::uint32_t& deadKeyState,
                                        std::size_t maxLength) {
    // An empty record is no layout; UCKeyTranslate would read past it.
    if (layoutData.empty()) {
        return {paramErr, {}};
    }
    std::vector<UniChar> buffer(maxLength);
    UniCharCount length = 0;
    const OSStatus status =
        UCKeyTranslate(reinterpret_cast<const UCKeyboardLayout*>(layoutData.data()), keyCode,
                       keyAction, modifierKeyState, keyboardType, options, &deadKeyState,
                       buffer.size(), &length, buffer.data());
    const auto produced = static_cast<std::ptrdiff_t>(std::min<std::size_t>(length, buffer.size()));
    return {status, std::u16string(buffer.begin(), buffer.begin() + produced)};
}

std::uint32_t MacDesktop::keyboardType() {
    return LMGetKbdType();
}

}  // namespace fieldpilot::platform::mac
