// What the decoder takes from a captured buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace voicepipe::platform::pulse_sphinx {

// Float samples in [-1, 1] as 16-bit PCM: out-of-range samples clip to full scale instead of
// wrapping around, and NaN becomes silence.
std::vector<std::int16_t> toPcm16(const float* samples, std::size_t count);

}  // namespace voicepipe::platform::pulse_sphinx
