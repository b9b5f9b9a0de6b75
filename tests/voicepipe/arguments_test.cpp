// voicepipe's arguments: the locale and the silence seconds.
#include "arguments.h"

#include <gtest/gtest.h>

#include <cmath>

#include "dictation_process.h"
#include "shared/decimal_comma_locale.h"
#include "support/fake_dictation.h"

namespace voicepipe {
namespace {

TEST(SilenceSeconds, TheWholeTextMustBeOneNumber) {
    EXPECT_EQ(parseSeconds("2.5"), 2.5);
    EXPECT_EQ(parseSeconds("-1"), -1.0);
    EXPECT_EQ(parseSeconds("0x1p1"), 2.0);
    EXPECT_EQ(parseSeconds("inf"), INFINITY);
    EXPECT_TRUE(std::isnan(parseSeconds("nan").value()));
    EXPECT_EQ(parseSeconds(""), std::nullopt);
    EXPECT_EQ(parseSeconds(" 2.5"), std::nullopt);
    EXPECT_EQ(parseSeconds("\t2.5"), std::nullopt);
    EXPECT_EQ(parseSeconds("2.5s"), std::nullopt);
    EXPECT_EQ(parseSeconds("2.5 "), std::nullopt);
}

TEST(SilenceSeconds, ReadsTheCLocaleWhateverTheProcessLocale) {
    const test_support::DecimalCommaLocale locale;
    if (!locale.active())
        GTEST_SKIP() << "localedef could not build de_DE";

    EXPECT_EQ(parseSeconds("2.5"), 2.5);
    EXPECT_EQ(parseSeconds("2,5"), std::nullopt);
}

TEST(Arguments, DefaultsAndPositions) {
    testing::FakeDictation dictation;
    dictation.currentLocale = "de-DE";
    char program[] = "voicepipe", locale[] = "fr-FR", seconds[] = "2.5", unit[] = "2.5s";
    char* onlyProgram[] = {program, nullptr};
    char* withLocale[] = {program, locale, nullptr};
    char* withSeconds[] = {program, locale, seconds, nullptr};
    char* withUnit[] = {program, locale, unit, nullptr};

    EXPECT_EQ(localeArgument(1, onlyProgram, dictation), "de-DE");
    EXPECT_EQ(silenceSecondsArgument(1, onlyProgram), kDefaultSilenceSeconds);
    EXPECT_EQ(localeArgument(2, withLocale, dictation), "fr-FR");
    EXPECT_EQ(silenceSecondsArgument(2, withLocale), kDefaultSilenceSeconds);
    EXPECT_EQ(silenceSecondsArgument(3, withSeconds), 2.5);
    EXPECT_EQ(silenceSecondsArgument(3, withUnit), kDefaultSilenceSeconds);
}

}  // namespace
}  // namespace voicepipe
