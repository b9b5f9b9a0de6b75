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

class MacAudioEngine final : public AudioEngine {
  public:
    MacAudioEngine();

    AudioFormat inputFormat(int bus) override;
    void installTap(int bus, std::uint32_t bufferSize, AudioFormat format, TapBlock tap) override;
    void removeTap(int bus) override;
    void prepare() override;
    std::optional<std::string> start() override;
    bool isRunning() override;
    void stop() override;

  private:
    AVAudioEngine* engine_;
    // Why the tap could not be installed; start() then reports it instead of starting.
    std::optional<std::string> tapFailure_;
};

}  // namespace voicepipe::platform::mac
