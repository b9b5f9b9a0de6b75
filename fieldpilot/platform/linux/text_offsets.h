// AT-SPI counts text offsets in characters (code points); macOS counts ranges in UTF-16 units.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fieldpilot::platform::live {

struct Utf16Range {
    std::int64_t location = 0;
    std::int64_t length = 0;
};

// The UTF-16 range of the characters [start, end) of `text` (UTF-8). Offsets are clamped to the
// text, and a range given end first (a selection made backwards) is taken in order.
Utf16Range utf16Range(std::string_view text, std::int64_t start, std::int64_t end);

// The characters [start, end) of `text` (UTF-8), with the same clamping and ordering.
std::string characterSlice(std::string_view text, std::int64_t start, std::int64_t end);

}  // namespace fieldpilot::platform::live
