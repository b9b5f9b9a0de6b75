// macOS key codes as evdev codes of the same keys, and key translation over the layout data.
#include <gtest/gtest.h>

#include "platform/linux/key_codes.h"
#include "platform/linux/key_layout.h"

namespace fieldpilot::platform::live {
namespace {

constexpr std::uint16_t kMacKeyA = 0;
constexpr std::uint16_t kMacKeyQ = 12;
constexpr std::uint16_t kMacCommand = 55;
constexpr std::uint16_t kMacDelete = 51;
constexpr std::uint16_t kMacRightArrow = 124;
constexpr std::uint16_t kMacFunction = 63;

TEST(LinuxKeyMapping, MacKeysLandOnTheSamePhysicalKeys) {
    EXPECT_EQ(evdevCodeForMacKey(kMacKeyA), 30);         // KEY_A
    EXPECT_EQ(evdevCodeForMacKey(kMacKeyQ), 16);         // KEY_Q
    EXPECT_EQ(evdevCodeForMacKey(kMacCommand), 29);      // KEY_LEFTCTRL, the shortcut modifier
    EXPECT_EQ(evdevCodeForMacKey(kMacDelete), 14);       // KEY_BACKSPACE
    EXPECT_EQ(evdevCodeForMacKey(kMacRightArrow), 106);  // KEY_RIGHT
    EXPECT_EQ(evdevCodeForMacKey(kMacFunction), std::nullopt);
    EXPECT_EQ(evdevCodeForMacKey(kMacKeyCodeCount), std::nullopt);
}

TEST(LinuxKeyMapping, ALayoutTypesItsOwnCharacterOnEachKey) {
    LayoutCharacters french{};
    french[kMacKeyA] = U'q';
    french[kMacKeyQ] = U'a';
    french[kMacRightArrow] = U'😀';
    const auto data = encodeLayout(french);
    EXPECT_EQ(translateWithLayout(data, kMacKeyQ, 4).characters, u"a");
    EXPECT_EQ(translateWithLayout(data, kMacKeyA, 4).characters, u"q");
    EXPECT_EQ(translateWithLayout(data, kMacRightArrow, 4).characters, u"😀");
    EXPECT_EQ(translateWithLayout(data, kMacDelete, 4).characters, u"");
    EXPECT_EQ(translateWithLayout(data, 200, 4).status, 0);
}

TEST(LinuxKeyMapping, DataNotInTheBackendsFormIsAParameterError) {
    const std::vector<std::uint8_t> truncated(12, 0);
    EXPECT_EQ(translateWithLayout(truncated, kMacKeyA, 4).status, -50);
    EXPECT_EQ(translateWithLayout({}, kMacKeyA, 4).status, -50);
}

}  // namespace
}  // namespace fieldpilot::platform::live
