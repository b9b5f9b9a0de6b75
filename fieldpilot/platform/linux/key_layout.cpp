#include "key_layout.h"

#include <algorithm>

#include "utf.h"

namespace fieldpilot::platform::live {
namespace {

constexpr std::size_t kBytesPerKey = 4;
constexpr std::int32_t kParamErr = -50;

}  // namespace

std::vector<std::uint8_t> encodeLayout(const LayoutCharacters& characters) {
    std::vector<std::uint8_t> data;
    data.reserve(characters.size() * kBytesPerKey);
    for (const char32_t character : characters) {
        for (std::size_t byte = 0; byte < kBytesPerKey; ++byte)
            data.push_back(static_cast<std::uint8_t>(character >> (8 * byte)));
    }
    return data;
}

KeyTranslation translateWithLayout(std::span<const std::uint8_t> layoutData,
                                   std::uint16_t macKeyCode, std::size_t maxLength) {
    if (layoutData.size() != kMacKeyCodeCount * kBytesPerKey)
        return {kParamErr, {}};
    if (macKeyCode >= kMacKeyCodeCount)
        return {0, {}};
    char32_t character = 0;
    for (std::size_t byte = 0; byte < kBytesPerKey; ++byte) {
        character |= static_cast<char32_t>(layoutData[macKeyCode * kBytesPerKey + byte])
                     << (8 * byte);
    }
    // Anything that is not a Unicode scalar value types nothing.
    if (character == 0 || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF))
        return {0, {}};
    std::string utf8;
    utf::appendUtf8(utf8, character);
    std::u16string units = utf::utf8ToUtf16(utf8);
    units.resize(std::min(units.size(), maxLength));
    return {0, std::move(units)};
}

}  // namespace fieldpilot::platform::live
