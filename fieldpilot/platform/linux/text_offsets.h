// AT-SPI text offsets as macOS counts them. Toolkits differ in what an offset counts: GTK and
// Chromium count characters (code points); Firefox counts characters of a text it pads with a
// U+FEFF after every character beyond the Basic Multilingual Plane, which makes its offsets the
// UTF-16 units of the text without the padding.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fieldpilot::platform::live {

enum class OffsetUnit { CodePoints, Utf16Units };

struct Utf16Range {
    std::int64_t location = 0;
    std::int64_t length = 0;
};

// The UTF-16 range of [start, end) of `text` (UTF-8), counted in `unit`. Offsets are clamped to
// the text, a range given end first (a selection made backwards) is taken in order, and an
// offset inside a character stands at the character's start.
Utf16Range utf16Range(std::string_view text, std::int64_t start, std::int64_t end, OffsetUnit unit);

// The text of [start, end) of `text` (UTF-8), with the same counting, clamping and ordering.
std::string textSlice(std::string_view text, std::int64_t start, std::int64_t end, OffsetUnit unit);

// `text` without the U+FEFF that Firefox puts after each character beyond the Basic
// Multilingual Plane; other U+FEFF are the user's and stay.
std::string withoutAstralPadding(std::string_view text);

}  // namespace fieldpilot::platform::live
