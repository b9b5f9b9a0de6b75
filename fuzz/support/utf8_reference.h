// UTF-8 as the helpers must treat it, written out from Unicode's table of well-formed byte
// sequences rather than from the decoder the helpers use: each byte that does not begin a
// well-formed sequence stands for one U+FFFD, and reading resumes at the next byte.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fuzz {

// The length of the well-formed sequence at the start of `bytes`, or 0 when there is none.
inline std::size_t wellFormedLength(std::string_view bytes) {
    struct Row {
        unsigned char low[4];
        unsigned char high[4];
        std::size_t length;
    };
    static constexpr Row kRows[] = {
        {{0x00}, {0x7F}, 1},
        {{0xC2, 0x80}, {0xDF, 0xBF}, 2},
        {{0xE0, 0xA0, 0x80}, {0xE0, 0xBF, 0xBF}, 3},
        {{0xE1, 0x80, 0x80}, {0xEC, 0xBF, 0xBF}, 3},
        {{0xED, 0x80, 0x80}, {0xED, 0x9F, 0xBF}, 3},
        {{0xEE, 0x80, 0x80}, {0xEF, 0xBF, 0xBF}, 3},
        {{0xF0, 0x90, 0x80, 0x80}, {0xF0, 0xBF, 0xBF, 0xBF}, 4},
        {{0xF1, 0x80, 0x80, 0x80}, {0xF3, 0xBF, 0xBF, 0xBF}, 4},
        {{0xF4, 0x80, 0x80, 0x80}, {0xF4, 0x8F, 0xBF, 0xBF}, 4},
    };
    for (const Row& row : kRows) {
        if (bytes.size() < row.length)
            continue;
        bool inRow = true;
        for (std::size_t i = 0; i < row.length && inRow; ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            inRow = byte >= row.low[i] && byte <= row.high[i];
        }
        if (inRow)
            return row.length;
    }
    return 0;
}

// `bytes` with each byte outside a well-formed sequence replaced by U+FFFD.
inline std::string withReplacements(std::string_view bytes) {
    std::string out;
    while (!bytes.empty()) {
        const std::size_t length = wellFormedLength(bytes);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            bytes.remove_prefix(1);
        } else {
            out.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        }
    }
    return out;
}

// The number of code points in well-formed UTF-8.
inline std::size_t codePointCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

}  // namespace fuzz
