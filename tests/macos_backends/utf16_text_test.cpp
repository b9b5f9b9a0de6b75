#include "utf16_text.h"

#include <gtest/gtest.h>

#include <string>

namespace fieldpilot::platform::mac {
namespace {

using namespace std::string_literals;

TEST(Utf16Text, EncodesEachUnicodeRangeInItsUtf8Length) {
    EXPECT_EQ(utf8FromUtf16(u""), "");
    EXPECT_EQ(utf8FromUtf16(u"Hi"), "Hi");
    EXPECT_EQ(utf8FromUtf16(u"\u00e9"), "\xC3\xA9");
    EXPECT_EQ(utf8FromUtf16(u"\u20ac"), "\xE2\x82\xAC");
    EXPECT_EQ(utf8FromUtf16(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8FromUtf16(u"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
}

TEST(Utf16Text, KeepsEmbeddedNulCharacters) {
    EXPECT_EQ(utf8FromUtf16(u"a\0b"s), "a\0b"s);
}

TEST(Utf16Text, ReplacesUnpairedSurrogatesAndKeepsTheRest) {
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(utf8FromUtf16(u"a\xD83D"s), "a" + replacement);
    EXPECT_EQ(utf8FromUtf16(u"\xDE00z"s), replacement + "z");
    EXPECT_EQ(utf8FromUtf16(u"\xD83D"
                            u"x"s),
              replacement + "x");
    EXPECT_EQ(utf8FromUtf16(u"\xDE00\xD83D"s), replacement + replacement);
    EXPECT_EQ(utf8FromUtf16(u"\xD83D\xD83D\xDE00"s), replacement + "\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace fieldpilot::platform::mac
