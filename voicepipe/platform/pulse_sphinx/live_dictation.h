// The dictation services of a Linux desktop: PocketSphinx recognises what PulseAudio captures.
#pragma once

#include <filesystem>

#include "platform/platform.h"
#include "platform/pulse_sphinx/locale_rules.h"

namespace voicepipe::platform::pulse_sphinx {

class LiveDictation final : public Dictation {
  public:
    // Results and permission answers go through `mainQueue`, which must outlive everything
    // created here. `environment` gives the process locale; models are looked up under
    // `modelRoot`.
    LiveDictation(MainQueue& mainQueue, EnvironmentReader environment,
                  std::filesystem::path modelRoot = kModelRoot);

    std::string currentLocaleIdentifier() override;
    // Loads the model of the locale's language, when one is installed.
    std::shared_ptr<Recognizer> createRecognizer(const std::string& localeIdentifier) override;
    // The recogniser of the process locale's language.
    std::shared_ptr<Recognizer> createDefaultRecognizer() override;
    std::unique_ptr<AudioEngine> createAudioEngine() override;
    std::unique_ptr<RecognitionRequest> createBufferRecognitionRequest() override;
    // Linux asks no permission for speech recognition or the microphone: both are granted, each
    // answer delivered once through the main queue.
    void requestSpeechAuthorization(std::function<void(SpeechAuthorization)> handler) override;
    void requestMicrophoneAccess(std::function<void(bool granted)> handler) override;

  private:
    MainQueue& mainQueue_;
    EnvironmentReader environment_;
    std::filesystem::path modelRoot_;
};

}  // namespace voicepipe::platform::pulse_sphinx
