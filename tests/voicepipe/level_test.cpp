// The level formula and the two-decimal form of the "level" event.
#include "level.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace voicepipe {
namespace {

float levelOf(std::vector<float> samples) {
    return inputLevel(samples.data(), static_cast<std::uint32_t>(samples.size()));
}

std::vector<float> alternating(float amplitude, std::size_t count) {
    std::vector<float> samples;
    for (std::size_t i = 0; i < count; ++i)
        samples.push_back(i % 2 == 0 ? amplitude : -amplitude);
    return samples;
}

TEST(InputLevel, MapsMinus50To0DecibelsOntoZeroToOne) {
    EXPECT_EQ(levelOf(std::vector<float>(1024, 0.0f)), 0.0f);
    EXPECT_EQ(levelOf(alternating(1.0f, 1024)), 1.0f);
    EXPECT_EQ(levelForEvent(levelOf(alternating(0.1f, 1024))), 0.6);
    EXPECT_EQ(levelOf(alternating(0.001f, 1024)), 0.0f);  // -60 dBFS
    EXPECT_EQ(levelOf(alternating(4.0f, 1024)), 1.0f);    // beyond full scale
}

TEST(InputLevel, ZeroFramesCountAsSilence) {
    EXPECT_EQ(inputLevel(nullptr, 0), 0.0f);
}

TEST(InputLevel, BrokenSamplesNeverGiveANonNumber) {
    EXPECT_EQ(levelOf({0.5f, std::numeric_limits<float>::quiet_NaN()}), 0.0f);
    EXPECT_EQ(levelOf({std::numeric_limits<float>::infinity()}), 1.0f);
}

TEST(LevelForEvent, RoundsToTwoDecimalsWithHalvesAwayFromZero) {
    EXPECT_EQ(levelForEvent(0.125f), 0.13);
    EXPECT_EQ(levelForEvent(0.004f), 0.0);
    EXPECT_EQ(levelForEvent(0.6f), 0.6);
    EXPECT_EQ(levelForEvent(1.0f), 1.0);
}

}  // namespace
}  // namespace voicepipe
