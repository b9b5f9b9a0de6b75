// UTF-8 and UTF-16 as both helpers meet them: checking and decoding the UTF-8 they are handed,
// and converting to and from the UTF-16 units in which the platform counts text.
//
// Well-formed UTF-8 excludes overlong forms, surrogates and code points above U+10FFFF. Where
// malformed input is replaced, each offending byte becomes one U+FFFD of its own and decoding
// resumes at the next byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utf {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

inline bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
inline bool isSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

struct Decoded {
    char32_t codePoint;
    std::size_t length;  // Bytes taken from the input: 1 for a malformed byte.
    bool wellFormed;
};

// The code point at the start of `bytes` (which must not be empty), or U+FFFD standing for its
// first byte alone when the sequence there is malformed. Inline because text scanners call it
// once per character.
inline Decoded decode(std::string_view bytes) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {lead, 1, true};
    constexpr Decoded malformed{kReplacementCharacter, 1, false};

    std::size_t length = 0;
    char32_t codePoint = 0;
    // The bounds on the second byte exclude overlong forms, surrogates and values past U+10FFFF.
    unsigned char secondLow = 0x80;
    unsigned char secondHigh = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
        if (lead == 0xE0)
            secondLow = 0xA0;
        if (lead == 0xED)
            secondHigh = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
        if (lead == 0xF0)
            secondLow = 0x90;
        if (lead == 0xF4)
            secondHigh = 0x8F;
    } else {
        return malformed;
    }
    if (bytes.size() < length)
        return malformed;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char low = i == 1 ? secondLow : 0x80;
        const unsigned char high = i == 1 ? secondHigh : 0xBF;
        if (byte(i) < low || byte(i) > high)
            return malformed;
        codePoint = (codePoint << 6) | (byte(i) & 0x3F);
    }
    return {codePoint, length, true};
}

// Length of the well-formed sequence at the start of `bytes` (which must not be empty), or 0 when
// it is malformed.
inline std::size_t validSequenceLength(std::string_view bytes) {
    const Decoded decoded = decode(bytes);
    return decoded.wellFormed ? decoded.length : 0;
}

bool isValidUtf8(std::string_view bytes);

// Appends the UTF-8 form of `codePoint`, which must be a Unicode scalar value.
void appendUtf8(std::string& out, char32_t codePoint);

std::u16string utf8ToUtf16(std::string_view bytes);
// A surrogate without its partner becomes U+FFFD, so the result is always well-formed UTF-8.
std::string utf16ToUtf8(std::u16string_view units);

}  // namespace utf
