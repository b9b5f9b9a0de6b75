#include "utf.h"

#include <gtest/gtest.h>

#include <string>

namespace utf {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(Utf8Decoding, ReadsEachEncodedLengthUpToItsLimits) {
    EXPECT_EQ(decode("A").codePoint, U'A');
    EXPECT_EQ(decode("\x7F").length, 1u);
    EXPECT_EQ(decode("\xC2\x80").codePoint, U'\u0080');
    EXPECT_EQ(decode("\xDF\xBF").codePoint, U'\u07FF');
    EXPECT_EQ(decode("\xE0\xA0\x80").codePoint, U'\u0800');
    EXPECT_EQ(decode("\xED\x9F\xBF").codePoint, U'\uD7FF');
    EXPECT_EQ(decode("\xEE\x80\x80").codePoint, U'\uE000');
    EXPECT_EQ(decode("\xF0\x90\x80\x80").codePoint, U'\U00010000');
    const Decoded last = decode("\xF4\x8F\xBF\xBFz");
    EXPECT_EQ(last.codePoint, U'\U0010FFFF');
    EXPECT_EQ(last.length, 4u);
    EXPECT_TRUE(last.wellFormed);
}

TEST(Utf8Decoding, AMalformedSequenceStandsForItsFirstByteOnly) {
    for (const std::string_view bytes :
         {"\x80"sv, "\xC0\xAF"sv, "\xC1\xBF"sv, "\xE0\x9F\xBF"sv, "\xED\xA0\x80"sv,
          "\xF0\x8F\xBF\xBF"sv, "\xF4\x90\x80\x80"sv, "\xF5\x80\x80\x80"sv, "\xFF"sv, "\xE2\x82"sv,
          "\xC3("sv, "\xE2\x82("sv}) {
        const Decoded decoded = decode(bytes);
        EXPECT_FALSE(decoded.wellFormed) << testing::PrintToString(bytes);
        EXPECT_EQ(decoded.codePoint, kReplacementCharacter);
        EXPECT_EQ(decoded.length, 1u);
        EXPECT_EQ(validSequenceLength(bytes), 0u);
    }
    EXPECT_EQ(validSequenceLength("\xE2\x82\xAC!"), 3u);
}

TEST(Utf8Validation, AcceptsOnlyWhollyWellFormedText) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80"));
    EXPECT_TRUE(isValidUtf8("a\0b"s));
    EXPECT_FALSE(isValidUtf8("caf\xC3"));
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(isValidUtf8("ok\xFF"));
}

TEST(Utf8ToUtf16, UsesSurrogatePairsBeyondTheBasicPlane) {
    EXPECT_EQ(utf8ToUtf16(""), u"");
    EXPECT_EQ(utf8ToUtf16("Hi \xC3\xA9\xE2\x82\xAC"), u"Hi \u00e9\u20ac");
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98\x80"), u"\xD83D\xDE00"s);
    EXPECT_EQ(utf8ToUtf16("\xF4\x8F\xBF\xBF"), u"\xDBFF\xDFFF"s);
}

TEST(Utf8ToUtf16, ReplacesEachMalformedByteAndResumesAfterIt) {
    EXPECT_EQ(utf8ToUtf16("bad \xFF byte"), u"bad \uFFFD byte");
    // The truncated sequence yields one replacement per byte; the letter after it survives.
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x98x"), u"\uFFFD\uFFFD\uFFFDx");
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
}

TEST(Utf16ToUtf8, EncodesEachUnicodeRangeInItsUtf8Length) {
    EXPECT_EQ(utf16ToUtf8(u""), "");
    EXPECT_EQ(utf16ToUtf8(u"Hi"), "Hi");
    EXPECT_EQ(utf16ToUtf8(u"\u00e9"), "\xC3\xA9");
    EXPECT_EQ(utf16ToUtf8(u"\u20ac"), "\xE2\x82\xAC");
    EXPECT_EQ(utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf16ToUtf8(u"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
}

TEST(Utf8Encoding, ChangesLengthExactlyAtEachBoundary) {
    const auto encoded = [](char32_t codePoint) {
        std::string out;
        appendUtf8(out, codePoint);
        return out;
    };
    EXPECT_EQ(encoded(0x7F), "\x7F");
    EXPECT_EQ(encoded(0x80), "\xC2\x80");
    EXPECT_EQ(encoded(0x7FF), "\xDF\xBF");
    EXPECT_EQ(encoded(0x800), "\xE0\xA0\x80");
    EXPECT_EQ(encoded(0xFFFF), "\xEF\xBF\xBF");
    EXPECT_EQ(encoded(0x10000), "\xF0\x90\x80\x80");
}

TEST(Utf16ToUtf8, KeepsEmbeddedNulCharacters) {
    EXPECT_EQ(utf16ToUtf8(u"a\0b"s), "a\0b"s);
}

TEST(Utf16ToUtf8, ReplacesUnpairedSurrogatesAndKeepsTheRest) {
    EXPECT_EQ(utf16ToUtf8(u"a\xD83D"s), "a" + kReplacement);
    EXPECT_EQ(utf16ToUtf8(u"\xDE00z"s), kReplacement + "z");
    EXPECT_EQ(utf16ToUtf8(u"\xD83D"
                          u"x"s),
              kReplacement + "x");
    EXPECT_EQ(utf16ToUtf8(u"\xDE00\xD83D"s), kReplacement + kReplacement);
    EXPECT_EQ(utf16ToUtf8(u"\xD83D\xD83D\xDE00"s), kReplacement + "\xF0\x9F\x98\x80");
}

TEST(Utf16ToUtf8, RoundTripsWellFormedText) {
    const std::string text =
        "Gr\xC3\xBC\xC3\x9F"
        "e \xE2\x82\xAC \xF0\x9F\x98\x80";
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(text)), text);
}

}  // namespace
}  // namespace utf
