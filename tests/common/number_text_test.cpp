// Doubles in their shortest round-trip text, byte for byte as the helpers have always written
// them (std::to_chars without a format).
#include "number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

#include "shared/decimal_comma_locale.h"

namespace {

using number_text::shortest;

TEST(ShortestNumberText, MatchesTheFormsTheRepliesHaveAlwaysUsed) {
    EXPECT_EQ(shortest(64.0), "64");
    EXPECT_EQ(shortest(10000.0), "10000") << "a tie in length goes to fixed notation";
    EXPECT_EQ(shortest(100000.0), "1e+05");
    EXPECT_EQ(shortest(-25200.0), "-25200");
    EXPECT_EQ(shortest(0.13), "0.13");
    EXPECT_EQ(shortest(0.6), "0.6");
    EXPECT_EQ(shortest(0.1), "0.1");
    EXPECT_EQ(shortest(0.001), "0.001");
    EXPECT_EQ(shortest(0.00001), "1e-05");
    EXPECT_EQ(shortest(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(shortest(1e21), "1e+21");
    EXPECT_EQ(shortest(5e-324), "5e-324");
    EXPECT_EQ(shortest(2.2250738585072014e-308), "2.2250738585072014e-308");
    EXPECT_EQ(shortest(1.7976931348623157e308), "1.7976931348623157e+308");
    EXPECT_EQ(shortest(-0.0), "-0");
    EXPECT_EQ(shortest(0.0), "0");
}

TEST(ShortestNumberText, WritesLargeWholeNumbersExactlyInFixedNotation) {
    // Fixed notation is shorter here, and the double's exact value ends in ...3968, not zeros.
    EXPECT_EQ(shortest(123456789012345680000.0), "123456789012345683968");
}

TEST(ShortestNumberText, FindsTheShorterDecimalAboveAPowerOfTwo) {
    // printf's nearest 16-digit decimal (...044) lies below, where the gap is smaller, and does
    // not read back; the one above does.
    EXPECT_EQ(shortest(std::ldexp(1.0, -1017)), "7.120236347223045e-307");
}

TEST(ShortestNumberText, NamesValuesThatAreNotNumbers) {
    EXPECT_EQ(shortest(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(shortest(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(shortest(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(ShortestNumberText, KeepsTheDecimalPointWhateverTheProcessLocale) {
    const test_support::DecimalCommaLocale locale;
    if (!locale.active())
        GTEST_SKIP() << "localedef could not build de_DE";

    EXPECT_EQ(shortest(0.13), "0.13");
    EXPECT_EQ(shortest(0.1 + 0.2), "0.30000000000000004");
}

}  // namespace

namespace {

using number_text::withSignificantDigits;

std::string printfG(double number, int digits) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%0.*g", digits, number);
    return buffer;
}

TEST(SignificantDigitsText, WritesWhatPrintfsGWritesInTheCLocale) {
    for (const double number :
         {0.3, 0.1 + 0.2, double(0.3f), 1.0 / 3, 100.0, 1e15, 1e16, 1e-4, 1e-5, 123456789.0,
          9999999.5, 0.000123456789, -2.5, -1e300, 5e-324, 0.0}) {
        for (const int digits : {7, 16}) {
            EXPECT_EQ(withSignificantDigits(number, digits), printfG(number, digits))
                << number << " with " << digits << " digits";
        }
    }
}

TEST(SignificantDigitsText, KeepsTheDecimalPointWhateverTheProcessLocale) {
    const test_support::DecimalCommaLocale locale;
    if (!locale.active())
        GTEST_SKIP() << "localedef could not build de_DE";

    EXPECT_EQ(withSignificantDigits(0.1 + 0.2, 16), "0.3");
    EXPECT_EQ(withSignificantDigits(2.5e-7, 7), "2.5e-07");
}

}  // namespace
