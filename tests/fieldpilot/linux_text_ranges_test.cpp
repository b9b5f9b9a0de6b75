// Character offsets from AT-SPI as the UTF-16 ranges and text slices of macOS.
#include <gtest/gtest.h>

#include "platform/linux/text_offsets.h"

namespace fieldpilot::platform::live {
namespace {

// "a", "é" (2 bytes), "😀" (4 bytes, 2 UTF-16 units), "b".
constexpr std::string_view kMixed =
    "a\xC3\xA9\xF0\x9F\x98\x80"
    "b";

TEST(LinuxTextRanges, CharactersBeyondTheBasicPlaneCountTwoUnits) {
    const Utf16Range emoji = utf16Range(kMixed, 2, 3);
    EXPECT_EQ(emoji.location, 2);
    EXPECT_EQ(emoji.length, 2);
    const Utf16Range after = utf16Range(kMixed, 3, 4);
    EXPECT_EQ(after.location, 4);
    EXPECT_EQ(after.length, 1);
    EXPECT_EQ(characterSlice(kMixed, 1, 3), "\xC3\xA9\xF0\x9F\x98\x80");
}

TEST(LinuxTextRanges, ABackwardSelectionIsTakenInOrder) {
    const Utf16Range range = utf16Range(kMixed, 3, 1);
    EXPECT_EQ(range.location, 1);
    EXPECT_EQ(range.length, 3);
    EXPECT_EQ(characterSlice(kMixed, 4, 3), "b");
}

TEST(LinuxTextRanges, OffsetsOutsideTheTextAreClamped) {
    const Utf16Range past = utf16Range(kMixed, 2, 99);
    EXPECT_EQ(past.location, 2);
    EXPECT_EQ(past.length, 3);
    const Utf16Range caretAtEnd = utf16Range(kMixed, 4, 4);
    EXPECT_EQ(caretAtEnd.location, 5);
    EXPECT_EQ(caretAtEnd.length, 0);
    EXPECT_EQ(utf16Range(kMixed, -5, 1).location, 0);
    EXPECT_EQ(characterSlice("", 0, 3), "");
}

}  // namespace
}  // namespace fieldpilot::platform::live
