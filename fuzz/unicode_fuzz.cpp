// The UTF-8/UTF-16 conversions and the Unicode operations on any bytes: conversions replace
// exactly the ill-formed parts, and canonical equivalence is reflexive and symmetric.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "support/fuzz_check.h"
#include "support/utf8_reference.h"
#include "unicode.h"
#include "utf.h"

namespace {

using fuzz::require;

// `units` with each surrogate that is not part of a pair replaced by U+FFFD.
std::u16string withUnpairedSurrogatesReplaced(const std::u16string& units) {
    std::u16string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (utf::isHighSurrogate(units[i]) && i + 1 < units.size() &&
            utf::isLowSurrogate(units[i + 1])) {
            out += units[i];
            out += units[++i];
        } else {
            out += utf::isSurrogate(units[i]) ? u'\uFFFD' : units[i];
        }
    }
    return out;
}

void checkUtf8(const std::string& bytes) {
    const std::string replaced = fuzz::withReplacements(bytes);
    require(utf::isValidUtf8(bytes) == (replaced == bytes), "validity as the table defines it");
    require(utf::utf16ToUtf8(utf::utf8ToUtf16(bytes)) == replaced,
            "UTF-8 to UTF-16 and back replaces exactly the ill-formed bytes");

    const std::size_t clusters = unicode::graphemeClusterCount(bytes);
    require((clusters == 0) == bytes.empty(), "only empty text has no characters");
    require(clusters <= fuzz::codePointCount(replaced), "no more characters than code points");
}

void checkUtf16(const std::string& bytes) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
    const std::string utf8 = utf::utf16ToUtf8(units);
    require(utf::isValidUtf8(utf8), "UTF-16 always becomes well-formed UTF-8");
    require(utf::utf8ToUtf16(utf8) == withUnpairedSurrogatesReplaced(units),
            "UTF-16 to UTF-8 and back replaces exactly the unpaired surrogates");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::string first = data.ConsumeRandomLengthString();
    const std::string second = data.ConsumeRemainingBytesAsString();

    checkUtf8(first);
    checkUtf8(second);
    checkUtf16(first);

    require(unicode::canonicallyEquivalent(first, first), "equivalence is reflexive");
    require(unicode::canonicallyEquivalent(first, second) ==
                unicode::canonicallyEquivalent(second, first),
            "equivalence is symmetric");
    return 0;
}
