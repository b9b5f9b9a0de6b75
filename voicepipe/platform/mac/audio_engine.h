// The microphone through AVAudioEngine's input node, and its captured buffers. Objective-C++
// only.
#pragma once

#import <AVFoundation/AVFoundation.h>

#include <optional>
#include <string>

#include "platform/platform.h"

namespace voicepipe::platform::mac {

// A buffer as the tap receives it, valid for the duration of the tap call.
class MacAudioBuffer final : public AudioBuffer {
  public:
    explicit MacAudioBuffer(AVAudioPCMBuffer* buffer) : buffer_(buffer) {}

    std::uint32_t frameLength() const override { return buffer_.frameLength; }
    const float* floatChannel0() const override;
    AVAudioPCMBuffer* pcmBuffer() const { return buffer_; }

  private:
    AVAudioPCMBuffer* buffer_;
};

// AVFAudio raises an Objective-C exception, rather than returning an error, where the input
// cannot be used (a Mac without an audio input reports 0 Hz); one that escaped a main-queue block
// would abort the process without a word, so every call that may raise catches it.
class MacAudioEngine final : public AudioEngine {
  public:
    MacAudioEngine();
    ~MacAudioEngine() override;
    MacAudioEngine(const MacAudioEngine&) = delete;
    MacAudioEngine& operator=(const MacAudioEngine&) = delete;

    AudioFormat inputFormat(int bus) override;
    std::optional<std::string> installTap(int bus, std::uint32_t bufferSize, AudioFormat format,
                                          TapBlock tap) override;
    void removeTap(int bus) override;
    std::optional<std::string> prepare() override;
    std::optional<std::string> start() override;
    bool isRunning() override;
    void stop() override;
    void onConfigurationChange(Work handler) override;

  private:
    void stopObservingConfiguration();

    AVAudioEngine* engine_;
    // The notification centre's token for the configuration change observer; nil while there is
    // none.
    id<NSObject> configurationObserver_;
};

}  // namespace voicepipe::platform::mac
