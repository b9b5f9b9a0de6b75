// AT-SPI text offsets, in the units each toolkit counts, as the UTF-16 ranges and text slices of
// macOS.
#include <gtest/gtest.h>

#include "platform/linux/text_offsets.h"

namespace fieldpilot::platform::live {
namespace {

// "a", "é" (2 bytes), "😀" (4 bytes, 2 UTF-16 units), "b".
constexpr std::string_view kMixed =
    "a\xC3\xA9\xF0\x9F\x98\x80"
    "b";
constexpr std::string_view kEmoji = "\xF0\x9F\x98\x80";
constexpr std::string_view kPadding = "\xEF\xBB\xBF";  // U+FEFF

TEST(LinuxTextRanges, CharactersBeyondTheBasicPlaneCountTwoUnits) {
    const Utf16Range emoji = utf16Range(kMixed, 2, 3, OffsetUnit::CodePoints);
    EXPECT_EQ(emoji.location, 2);
    EXPECT_EQ(emoji.length, 2);
    const Utf16Range after = utf16Range(kMixed, 3, 4, OffsetUnit::CodePoints);
    EXPECT_EQ(after.location, 4);
    EXPECT_EQ(after.length, 1);
    EXPECT_EQ(textSlice(kMixed, 1, 3, OffsetUnit::CodePoints), "\xC3\xA9\xF0\x9F\x98\x80");
}

TEST(LinuxTextRanges, Utf16OffsetsSelectTheSameText) {
    EXPECT_EQ(textSlice(kMixed, 2, 4, OffsetUnit::Utf16Units), kEmoji);
    EXPECT_EQ(textSlice(kMixed, 4, 5, OffsetUnit::Utf16Units), "b");
    EXPECT_EQ(textSlice(kMixed, 0, 5, OffsetUnit::Utf16Units), kMixed);
    const Utf16Range after = utf16Range(kMixed, 4, 5, OffsetUnit::Utf16Units);
    EXPECT_EQ(after.location, 4);
    EXPECT_EQ(after.length, 1);
}

TEST(LinuxTextRanges, AnEdgeInsideACharacterStandsAtItsStart) {
    const Utf16Range split = utf16Range(kMixed, 3, 5, OffsetUnit::Utf16Units);
    EXPECT_EQ(split.location, 2);
    EXPECT_EQ(split.length, 3);
    EXPECT_EQ(textSlice(kMixed, 1, 3, OffsetUnit::Utf16Units), "\xC3\xA9");
}

TEST(LinuxTextRanges, ABackwardSelectionIsTakenInOrder) {
    const Utf16Range range = utf16Range(kMixed, 3, 1, OffsetUnit::CodePoints);
    EXPECT_EQ(range.location, 1);
    EXPECT_EQ(range.length, 3);
    EXPECT_EQ(textSlice(kMixed, 4, 3, OffsetUnit::CodePoints), "b");
}

TEST(LinuxTextRanges, OffsetsOutsideTheTextAreClamped) {
    const Utf16Range past = utf16Range(kMixed, 2, 99, OffsetUnit::CodePoints);
    EXPECT_EQ(past.location, 2);
    EXPECT_EQ(past.length, 3);
    const Utf16Range caretAtEnd = utf16Range(kMixed, 4, 4, OffsetUnit::CodePoints);
    EXPECT_EQ(caretAtEnd.location, 5);
    EXPECT_EQ(caretAtEnd.length, 0);
    EXPECT_EQ(utf16Range(kMixed, -5, 1, OffsetUnit::Utf16Units).location, 0);
    EXPECT_EQ(textSlice("", 0, 3, OffsetUnit::Utf16Units), "");
}

TEST(LinuxTextRanges, OnlyThePaddingAfterAnAstralCharacterIsRemoved) {
    const std::string padded = std::string("x") + std::string(kEmoji) + std::string(kPadding) +
                               std::string(kPadding) + "y" + std::string(kPadding);
    const std::string expected = std::string("x") + std::string(kEmoji) + std::string(kPadding) +
                                 "y" + std::string(kPadding);
    EXPECT_EQ(withoutAstralPadding(padded), expected);
}

}  // namespace
}  // namespace fieldpilot::platform::live
