// The keys a terminal gets: its own shortcuts on Control+Shift, never a key on its own.
#include <gtest/gtest.h>

#include "platform/linux/terminal_keys.h"

namespace fieldpilot::platform::live {
namespace {

constexpr std::uint16_t kCommand = 55;
constexpr std::uint16_t kC = 8;
constexpr std::uint16_t kDelete = 51;
constexpr std::uint16_t kRightArrow = 124;

TEST(TerminalKeys, CommandShortcutsGainShiftAndLoneKeysAreWithheld) {
    EXPECT_EQ(terminalKey(kCommand, false), TerminalKey::AddShift);
    EXPECT_EQ(terminalKey(kC, true), TerminalKey::AsIs);
    EXPECT_EQ(terminalKey(kCommand, true), TerminalKey::AddShift);  // its release
    EXPECT_EQ(terminalKey(kC, false), TerminalKey::Withheld);
    EXPECT_EQ(terminalKey(kDelete, false), TerminalKey::Withheld);
    EXPECT_EQ(terminalKey(kRightArrow, false), TerminalKey::Withheld);
}

}  // namespace
}  // namespace fieldpilot::platform::live
