// Streams of the test process itself on a PulseAudio server: playing clips into the default
// sink, a short capture, and the background noise that plays for the server's whole life.
#pragma once

#include <pulse/simple.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace voicepipe::testing {

using SteadyTime = std::chrono::steady_clock::time_point;

// Plays the samples (mono float at kSampleRate) into the server's default sink and waits until
// they have been played out. Returns when playback began, or nullopt when it failed.
std::optional<SteadyTime> playToEnd(const std::string& server, const std::vector<float>& samples);

// Records `seconds` from the server's default source; false when that failed.
bool captureFor(const std::string& server, double seconds);

// Loops the samples into the default sink on a thread of its own until destroyed.
class LoopedPlayback {
  public:
    LoopedPlayback(const std::string& server, std::vector<float> samples);
    ~LoopedPlayback();
    LoopedPlayback(const LoopedPlayback&) = delete;
    LoopedPlayback& operator=(const LoopedPlayback&) = delete;

    bool playing() const { return stream_ != nullptr; }

  private:
    void play();

    std::vector<float> samples_;
    pa_simple* stream_ = nullptr;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace voicepipe::testing
