#include "level.h"

#include <cmath>

namespace voicepipe {

namespace {

constexpr float kRmsFloor = 0.00001f;
constexpr float kDecibelRange = 50.0f;  // -50 dBFS is level 0

float rootMeanSquare(const float* samples, std::uint32_t frameCount) {
    if (frameCount == 0)
        return kRmsFloor;
    float sumOfSquares = 0;
    for (std::uint32_t i = 0; i < frameCount; ++i)
        sumOfSquares += samples[i] * samples[i];
    // fmax takes the floor over a NaN, so a broken sample reads as silence.
    return std::fmax(std::sqrt(sumOfSquares / static_cast<float>(frameCount)), kRmsFloor);
}

}  // namespace

float inputLevel(const float* samples, std::uint32_t frameCount) {
    const float decibels = 20.0f * std::log10(rootMeanSquare(samples, frameCount));
    const float level = (decibels + kDecibelRange) / kDecibelRange;
    return std::fmax(std::fmin(level, 1.0f), 0.0f);
}

double levelForEvent(float level) {
    return std::round(static_cast<double>(level) * 100.0) / 100.0;
}

}  // namespace voicepipe
