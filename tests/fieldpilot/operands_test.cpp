#include "operands.h"

#include <gtest/gtest.h>

namespace fieldpilot {
namespace {

TEST(Operands, PidsAreSignedThirtyTwoBitDecimals) {
    EXPECT_EQ(parsePid("501"), 501);
    EXPECT_EQ(parsePid("+5"), 5);
    EXPECT_EQ(parsePid("-0"), 0);
    EXPECT_EQ(parsePid("007"), 7);
    EXPECT_EQ(parsePid("2147483647"), INT32_MAX);
    EXPECT_EQ(parsePid("-2147483648"), INT32_MIN);
    for (const auto* invalid : {"2147483648", "-2147483649", "99999999999999999999", "", "+", "-",
                                " 5", "5 ", "5x", "0x10", "1e3", "+-5", "５"}) {
        EXPECT_EQ(parsePid(invalid), std::nullopt) << invalid;
    }
}

TEST(Operands, WindowIdsAreUnsignedThirtyTwoBitDecimals) {
    EXPECT_EQ(parseWindowId("4294967295"), UINT32_MAX);
    EXPECT_EQ(parseWindowId("+0"), 0u);
    EXPECT_EQ(parseWindowId("-0"), 0u);
    EXPECT_EQ(parseWindowId("4294967296"), std::nullopt);
    EXPECT_EQ(parseWindowId("-1"), std::nullopt);
    EXPECT_EQ(parseWindowId("-0009"), std::nullopt);
}

TEST(Operands, BudgetsAreSignedSixtyFourBitDecimals) {
    EXPECT_EQ(parseBudget("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(parseBudget("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(parseBudget("9223372036854775808"), std::nullopt);
    EXPECT_EQ(parseBudget("-9223372036854775809"), std::nullopt);
}

}  // namespace
}  // namespace fieldpilot
