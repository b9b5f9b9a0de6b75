#include "platform/pulse_sphinx/samples.h"

#include <cmath>

namespace voicepipe::platform::pulse_sphinx {

namespace {

constexpr float kFullScale = 32767.0f;

std::int16_t toPcm16(float sample) {
    if (std::isnan(sample)) {
        return 0;
    }
    const float clipped = std::fmax(-1.0f, std::fmin(1.0f, sample));
    return static_cast<std::int16_t>(std::lrint(clipped * kFullScale));
}

}  // namespace

std::vector<std::int16_t> toPcm16(const float* samples, std::size_t count) {
    std::vector<std::int16_t> pcm(count);
    for (std::size_t i = 0; i < count; ++i) {
        pcm[i] = toPcm16(samples[i]);
    }
    return pcm;
}

}  // namespace voicepipe::platform::pulse_sphinx
