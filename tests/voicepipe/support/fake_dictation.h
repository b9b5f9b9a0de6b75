// Scripted stand-ins for the dictation services: each records what the logic asked of it and
// lets the test play the platform's part (captured buffers, results, permission answers).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/virtual_queue.h"

namespace voicepipe::testing {

class FakeBuffer : public platform::AudioBuffer {
  public:
    // Samples alternating +rms and -rms, so the buffer's RMS is exactly `rms`.
    static FakeBuffer withRms(float rms, std::uint32_t frames = 1024);
    static FakeBuffer withoutFloatData(std::uint32_t frames = 1024);

    std::uint32_t frameLength() const override { return frames_; }
    const float* floatChannel0() const override { return hasFloat_ ? samples_.data() : nullptr; }

  private:
    std::vector<float> samples_;
    std::uint32_t frames_ = 0;
    bool hasFloat_ = true;
};

class FakeEngine : public platform::AudioEngine {
  public:
    platform::AudioFormat format{16000, 1};
    std::optional<std::string> tapFailure, prepareFailure, startFailure;
    bool running = false;
    std::vector<std::string> calls;  // e.g. "installTap 0 1024", "start", "removeTap 0"
    platform::TapBlock tap;
    platform::Work configurationChanged;

    // The audio hardware changes: the engine stops itself and reports it on the queue.
    void changeConfiguration(VirtualQueue& queue);

    platform::AudioFormat inputFormat(int) override { return format; }
    std::optional<std::string> installTap(int bus, std::uint32_t bufferSize,
                                          platform::AudioFormat format,
                                          platform::TapBlock block) override;
    void removeTap(int bus) override;
    std::optional<std::string> prepare() override;
    std::optional<std::string> start() override;
    bool isRunning() override { return running; }
    void stop() override;
    void onConfigurationChange(platform::Work handler) override {
        configurationChanged = std::move(handler);
    }
};

class FakeRequest : public platform::RecognitionRequest {
  public:
    std::optional<bool> partialResults, punctuation, onDevice;
    int appended = 0;
    int endAudioCalls = 0;

    void setShouldReportPartialResults(bool on) override { partialResults = on; }
    void setAddsPunctuation(bool on) override { punctuation = on; }
    void setRequiresOnDeviceRecognition(bool on) override { onDevice = on; }
    void append(const platform::AudioBuffer&) override { ++appended; }
    void endAudio() override { ++endAudioCalls; }
};

class FakeRecognizer : public platform::Recognizer {
  public:
    bool available = true;
    bool onDevice = true;
    int tasksOpened = 0;
    platform::ResultHandler handler;

    bool isAvailable() override { return available; }
    bool supportsOnDeviceRecognition() override { return onDevice; }
    std::unique_ptr<platform::RecognitionTask> recognitionTask(
        platform::RecognitionRequest& request, platform::ResultHandler resultHandler) override;

    // One call of the result handler, on the main queue as the platform makes it.
    void deliver(VirtualQueue& queue, std::optional<std::string> text, bool isFinal = false,
                 std::optional<std::string> error = std::nullopt);
};

class FakeDictation : public platform::Dictation {
  public:
    std::string currentLocale = "en-US";
    std::map<std::string, std::shared_ptr<FakeRecognizer>> recognizers;
    std::shared_ptr<FakeRecognizer> defaultRecognizer;
    std::vector<std::string> recognizersAskedFor;  // locale ids; "" for the default recogniser
    std::function<void(platform::SpeechAuthorization)> speechHandler;
    std::function<void(bool)> microphoneHandler;

    std::string currentLocaleIdentifier() override { return currentLocale; }
    std::shared_ptr<platform::Recognizer> createRecognizer(const std::string& locale) override;
    std::shared_ptr<platform::Recognizer> createDefaultRecognizer() override;
    std::unique_ptr<platform::AudioEngine> createAudioEngine() override;
    std::unique_ptr<platform::RecognitionRequest> createBufferRecognitionRequest() override;
    void requestSpeechAuthorization(
        std::function<void(platform::SpeechAuthorization)> handler) override;
    void requestMicrophoneAccess(std::function<void(bool granted)> handler) override;
};

}  // namespace voicepipe::testing
