#include "support/pulse_streams.h"

#include <pulse/error.h>

#include <algorithm>

#include "support/speech_clip.h"

namespace voicepipe::testing {

namespace {

const char* const kClientName = "voicepipe live tests";
constexpr pa_sample_spec kSampleSpec{PA_SAMPLE_FLOAT32LE, kSampleRate, 1};
// The looped playback writes this much at a time, so that it notices a stop soon.
constexpr std::size_t kLoopChunkFrames = kSampleRate / 10;

pa_simple* openStream(const std::string& server, pa_stream_direction_t direction) {
    int error = 0;
    return pa_simple_new(server.c_str(), kClientName, direction, nullptr,
                         direction == PA_STREAM_PLAYBACK ? "clip" : "warm-up", &kSampleSpec,
                         nullptr, nullptr, &error);
}

bool write(pa_simple* stream, const float* samples, std::size_t count) {
    int error = 0;
    return pa_simple_write(stream, samples, count * sizeof(float), &error) == 0;
}

}  // namespace

std::optional<SteadyTime> playToEnd(const std::string& server, const std::vector<float>& samples) {
    pa_simple* stream = openStream(server, PA_STREAM_PLAYBACK);
    if (stream == nullptr)
        return std::nullopt;
    // The stream starts as soon as its buffer fills or it is drained, within moments of this.
    const SteadyTime began = std::chrono::steady_clock::now();
    int error = 0;
    const bool played =
        write(stream, samples.data(), samples.size()) && pa_simple_drain(stream, &error) == 0;
    pa_simple_free(stream);
    if (!played)
        return std::nullopt;
    return began;
}

bool captureFor(const std::string& server, double seconds) {
    pa_simple* stream = openStream(server, PA_STREAM_RECORD);
    if (stream == nullptr)
        return false;
    std::vector<float> samples(static_cast<std::size_t>(seconds * kSampleRate));
    int error = 0;
    const bool captured =
        pa_simple_read(stream, samples.data(), samples.size() * sizeof(float), &error) == 0;
    pa_simple_free(stream);
    return captured;
}

LoopedPlayback::LoopedPlayback(const std::string& server, std::vector<float> samples)
    : samples_(std::move(samples)) {
    if (samples_.empty())
        return;
    stream_ = openStream(server, PA_STREAM_PLAYBACK);
    if (stream_ != nullptr)
        thread_ = std::thread([this] { play(); });
}

LoopedPlayback::~LoopedPlayback() {
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    if (stream_ != nullptr)
        pa_simple_free(stream_);
}

void LoopedPlayback::play() {
    std::size_t next = 0;
    while (!stopping_) {
        const std::size_t count = std::min(kLoopChunkFrames, samples_.size() - next);
        if (!write(stream_, samples_.data() + next, count))
            return;
        next = (next + count) % samples_.size();
    }
}

}  // namespace voicepipe::testing
