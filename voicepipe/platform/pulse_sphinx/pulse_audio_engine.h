// The microphone through the PulseAudio server (PipeWire's Pulse server too): the default source,
// one float channel at the recogniser's rate, read by a capture thread of its own in buffers of
// the tap's frame count.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/platform.h"

struct pa_simple;

namespace voicepipe::platform::pulse_sphinx {

// PocketSphinx's models are trained on 16 kHz audio; the server resamples the source to it.
constexpr double kCaptureRate = 16000;

class PulseAudioEngine final : public AudioEngine {
  public:
    PulseAudioEngine() = default;
    ~PulseAudioEngine() override { stop(); }
    PulseAudioEngine(const PulseAudioEngine&) = delete;
    PulseAudioEngine& operator=(const PulseAudioEngine&) = delete;

    AudioFormat inputFormat(int bus) override;
    std::optional<std::string> installTap(int bus, std::uint32_t bufferSize, AudioFormat format,
                                          TapBlock tap) override;
    void removeTap(int bus) override;
    std::optional<std::string> prepare() override { return std::nullopt; }
    // Connects to the server and starts capturing; the server's error text when it cannot.
    std::optional<std::string> start() override;
    bool isRunning() override { return captureThread_.joinable(); }
    // Returns once the capture thread has ended and the stream is closed.
    void stop() override;
    // The server keeps the stream and moves it to another source when its own goes away
    // (module-rescue-streams): no hardware change stops the capture, so none is reported.
    void onConfigurationChange(Work) override {}

  private:
    void capture(pa_simple* stream, std::uint32_t frames);

    // Held while the tap runs, so that removeTap() never returns during a call of the tap.
    std::mutex tapMutex_;
    TapBlock tap_;
    std::uint32_t framesPerBuffer_ = 1024;
    double rate_ = kCaptureRate;

    std::atomic<bool> stopping_ = false;
    std::thread captureThread_;
};

}  // namespace voicepipe::platform::pulse_sphinx
