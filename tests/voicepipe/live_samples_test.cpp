// What the live recogniser makes of captured samples and of its decoder's hypotheses.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/pulse_sphinx/hypothesis_changes.h"
#include "platform/pulse_sphinx/samples.h"

namespace voicepipe::platform::pulse_sphinx {
namespace {

TEST(SampleConversionTest, ScalesToSixteenBitsAndClipsInsteadOfWrappingAround) {
    const std::vector<float> samples = {
        0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 1.5f, -7.0f, std::numeric_limits<float>::infinity(), NAN};

    EXPECT_EQ(
        toPcm16(samples.data(), samples.size()),
        (std::vector<std::int16_t>{0, 16384, -16384, 32767, -32767, 32767, -32767, 32767, 0}));
}

TEST(HypothesisChangesTest, OnlyAHypothesisThatDiffersFromTheLastReportedIsNews) {
    HypothesisChanges changes;

    EXPECT_FALSE(changes.isNews(""));
    EXPECT_TRUE(changes.isNews("hello"));
    EXPECT_FALSE(changes.isNews("hello"));
    EXPECT_TRUE(changes.isNews("hello world"));
    EXPECT_TRUE(changes.isNews("hello"));
}

}  // namespace
}  // namespace voicepipe::platform::pulse_sphinx
