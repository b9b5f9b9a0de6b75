#include "platform/sim/captured_audio.h"

#include <cmath>

namespace voicepipe::platform::sim {

BufferSound soundOfBuffer(const std::vector<AudioSegment>& audio, std::uint64_t index) {
    // Whole frames, so that segment boundaries fall on exact frames however the seconds add up.
    const std::uint64_t firstFrame = index * kFramesPerBuffer;
    double secondsSoFar = 0;
    for (const auto& segment : audio) {
        secondsSoFar += segment.seconds;
        const auto segmentEnd =
            static_cast<std::uint64_t>(std::llround(secondsSoFar * kSampleRate));
        if (firstFrame < segmentEnd) {
            return {segment.rms, segment.hasFloatData};
        }
    }
    return {};
}

void CapturedBuffer::fill(BufferSound sound) {
    hasFloatData_ = sound.hasFloatData;
    for (std::size_t frame = 0; frame < samples_.size(); ++frame) {
        samples_[frame] = frame % 2 == 0 ? sound.rms : -sound.rms;
    }
}

}  // namespace voicepipe::platform::sim
