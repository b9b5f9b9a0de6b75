// Conversions between the UTF-8 text of the desktop file and the UTF-16 code units in which the
// platform counts text ranges and key translations.
#pragma once

#include <string>
#include <string_view>

namespace fieldpilot::sim {

inline bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Malformed UTF-8 becomes U+FFFD, one per offending byte.
std::u16string utf8ToUtf16(std::string_view text);
// A lone surrogate becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

}  // namespace fieldpilot::sim
