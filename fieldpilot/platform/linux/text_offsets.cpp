#include "text_offsets.h"

#include <algorithm>

#include "utf.h"

namespace fieldpilot::platform::live {
namespace {

constexpr char32_t kLastBasicPlaneCodePoint = 0xFFFF;
constexpr char32_t kZeroWidthNoBreakSpace = 0xFEFF;

bool isAstral(char32_t codePoint) {
    return codePoint > kLastBasicPlaneCodePoint;
}

struct Position {
    std::size_t byte = 0;
    std::int64_t utf16 = 0;
};

// Where offset `index` stands, in bytes and in UTF-16 units: the start of the character it falls
// in, or the end of the text when the text is shorter.
Position positionOf(std::string_view text, std::int64_t index, OffsetUnit unit) {
    Position position;
    std::int64_t counted = 0;
    while (position.byte < text.size()) {
        const utf::Decoded decoded = utf::decode(text.substr(position.byte));
        const std::int64_t units = isAstral(decoded.codePoint) ? 2 : 1;
        const std::int64_t width = unit == OffsetUnit::Utf16Units ? units : 1;
        if (counted + width > index)
            break;
        counted += width;
        position.byte += decoded.length;
        position.utf16 += units;
    }
    return position;
}

std::pair<Position, Position> positions(std::string_view text, std::int64_t start, std::int64_t end,
                                        OffsetUnit unit) {
    // std::minmax of temporaries would hand back references to them: compare plain values.
    const std::int64_t from = std::max<std::int64_t>(start, 0);
    const std::int64_t to = std::max<std::int64_t>(end, 0);
    return {positionOf(text, std::min(from, to), unit), positionOf(text, std::max(from, to), unit)};
}

}  // namespace

Utf16Range utf16Range(std::string_view text, std::int64_t start, std::int64_t end,
                      OffsetUnit unit) {
    const auto [first, last] = positions(text, start, end, unit);
    return {first.utf16, last.utf16 - first.utf16};
}

std::string textSlice(std::string_view text, std::int64_t start, std::int64_t end,
                      OffsetUnit unit) {
    const auto [first, last] = positions(text, start, end, unit);
    return std::string(text.substr(first.byte, last.byte - first.byte));
}

std::string withoutAstralPadding(std::string_view text) {
    std::string unpadded;
    unpadded.reserve(text.size());
    bool afterAstral = false;
    for (std::size_t byte = 0; byte < text.size();) {
        const utf::Decoded decoded = utf::decode(text.substr(byte));
        if (!(afterAstral && decoded.codePoint == kZeroWidthNoBreakSpace))
            unpadded.append(text.substr(byte, decoded.length));
        afterAstral = isAstral(decoded.codePoint);
        byte += decoded.length;
    }
    return unpadded;
}

}  // namespace fieldpilot::platform::live
