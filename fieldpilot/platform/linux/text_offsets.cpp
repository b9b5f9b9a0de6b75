#include "text_offsets.h"

#include <algorithm>

#include "utf.h"

namespace fieldpilot::platform::live {
namespace {

struct Position {
    std::size_t byte = 0;
    std::int64_t utf16 = 0;
};

// Where character `index` starts, in bytes and in UTF-16 units; the end of the text when the
// text is shorter.
Position positionOf(std::string_view text, std::int64_t index) {
    Position position;
    for (std::int64_t character = 0; character < index && position.byte < text.size();
         ++character) {
        const utf::Decoded decoded = utf::decode(text.substr(position.byte));
        position.byte += decoded.length;
        position.utf16 += decoded.codePoint > 0xFFFF ? 2 : 1;
    }
    return position;
}

std::pair<Position, Position> positions(std::string_view text, std::int64_t start,
                                        std::int64_t end) {
    // std::minmax of temporaries would hand back references to them: compare plain values.
    const std::int64_t from = std::max<std::int64_t>(start, 0);
    const std::int64_t to = std::max<std::int64_t>(end, 0);
    return {positionOf(text, std::min(from, to)), positionOf(text, std::max(from, to))};
}

}  // namespace

Utf16Range utf16Range(std::string_view text, std::int64_t start, std::int64_t end) {
    const auto [first, last] = positions(text, start, end);
    return {first.utf16, last.utf16 - first.utf16};
}

std::string characterSlice(std::string_view text, std::int64_t start, std::int64_t end) {
    const auto [first, last] = positions(text, start, end);
    return std::string(text.substr(first.byte, last.byte - first.byte));
}

}  // namespace fieldpilot::platform::live
