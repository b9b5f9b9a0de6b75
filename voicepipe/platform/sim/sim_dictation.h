// The dictation services of the simulated platform, answering as the scenario says.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/sim/delayed_calls.h"
#include "platform/sim/sim_context.h"

namespace voicepipe::platform::sim {

class SimDictation final : public Dictation {
  public:
    // Deliveries go through `mainQueue`, which must outlive everything created here.
    SimDictation(Scenario scenario, std::unique_ptr<CallLog> log, MainQueue& mainQueue);

    std::string currentLocaleIdentifier() override;
    std::shared_ptr<Recognizer> createRecognizer(const std::string& localeIdentifier) override;
    std::shared_ptr<Recognizer> createDefaultRecognizer() override;
    std::unique_ptr<AudioEngine> createAudioEngine() override;
    std::unique_ptr<RecognitionRequest> createBufferRecognitionRequest() override;
    // The answers come from threads of their own after the scenario's delays; a null delay means
    // the prompt is never answered.
    void requestSpeechAuthorization(std::function<void(SpeechAuthorization)> handler) override;
    void requestMicrophoneAccess(std::function<void(bool granted)> handler) override;

  private:
    std::shared_ptr<Recognizer> recognizerWith(const RecognizerTraits* traits);

    std::shared_ptr<SimContext> context_;
    DelayedCalls permissionAnswers_;
};

}  // namespace voicepipe::platform::sim
