// The sound that the simulated microphone captures: buffers of 1024 one-channel frames at
// 16000 Hz, each taken from the scenario's segment in which the buffer starts, then silence once
// the segments are used up.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/scenario.h"

namespace voicepipe::platform::sim {

constexpr std::uint32_t kFramesPerBuffer = 1024;
constexpr double kSampleRate = 16000;
// 1024 frames at 16000 Hz.
constexpr Micros kBufferDuration{64'000};

struct BufferSound {
    float rms = 0;
    bool hasFloatData = true;

    bool operator==(const BufferSound&) const = default;
};

// The sound of buffer number `index` (0 for the first after the engine starts).
BufferSound soundOfBuffer(const std::vector<AudioSegment>& audio, std::uint64_t index);

class CapturedBuffer final : public AudioBuffer {
  public:
    CapturedBuffer() : samples_(kFramesPerBuffer) {}

    // Samples alternate +rms and -rms, so the buffer's root mean square is exactly rms.
    void fill(BufferSound sound);

    std::uint32_t frameLength() const override { return kFramesPerBuffer; }
    const float* floatChannel0() const override {
        return hasFloatData_ ? samples_.data() : nullptr;
    }

  private:
    std::vector<float> samples_;
    bool hasFloatData_ = true;
};

}  // namespace voicepipe::platform::sim
