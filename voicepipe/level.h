// The input level that drives the host's microphone meter and the silence rule.
#pragma once

#include <cstdint>

namespace voicepipe {

// The RMS of the samples in dBFS, mapped linearly from -50 dB or less (0) to 0 dB (1), computed
// in single precision in sample order. No samples count as an RMS of 0.00001, and so does a
// non-number, so the level is always within 0 to 1.
float inputLevel(const float* samples, std::uint32_t frameCount);

// The level as a "level" event carries it: two decimals, halves rounded away from zero.
double levelForEvent(float level);

}  // namespace voicepipe
