#include "platform/sim/sim_dictation.h"

#include <utility>

#include "platform/sim/sim_audio_engine.h"
#include "platform/sim/sim_recognition.h"

namespace voicepipe::platform::sim {

SimDictation::SimDictation(Scenario scenario, std::unique_ptr<CallLog> log, MainQueue& mainQueue)
    : context_(std::make_shared<SimContext>(std::move(scenario), std::move(log), mainQueue)) {}

std::string SimDictation::currentLocaleIdentifier() {
    return context_->scenario.currentLocale;
}

std::shared_ptr<Recognizer> SimDictation::createRecognizer(const std::string& localeIdentifier) {
    const auto* traits = context_->scenario.recognizerFor(localeIdentifier);
    context_->log->record(
        {{"op", "recognizer"}, {"locale", localeIdentifier}, {"created", traits != nullptr}});
    return recognizerWith(traits);
}

std::shared_ptr<Recognizer> SimDictation::createDefaultRecognizer() {
    const auto& defaultLanguage = context_->scenario.defaultLanguage;
    const auto* traits =
        defaultLanguage ? context_->scenario.recognizerFor(*defaultLanguage) : nullptr;
    context_->log->record(
        {{"op", "recognizer"}, {"locale", nullptr}, {"created", traits != nullptr}});
    return recognizerWith(traits);
}

std::unique_ptr<AudioEngine> SimDictation::createAudioEngine() {
    return std::make_unique<SimAudioEngine>(context_);
}

std::unique_ptr<RecognitionRequest> SimDictation::createBufferRecognitionRequest() {
    return std::make_unique<SimRecognitionRequest>(context_);
}

void SimDictation::requestSpeechAuthorization(std::function<void(SpeechAuthorization)> handler) {
    context_->log->record({{"op", "authorize"}});
    if (const auto delay = context_->scenario.speechDelay) {
        permissionAnswers_.callAfter(
            *delay, [handler = std::move(handler), status = context_->scenario.speech] {
                handler(status);
            });
    }
}

void SimDictation::requestMicrophoneAccess(std::function<void(bool granted)> handler) {
    context_->log->record({{"op", "microphone"}});
    if (const auto delay = context_->scenario.microphoneDelay) {
        permissionAnswers_.callAfter(
            *delay, [handler = std::move(handler), granted = context_->scenario.microphone] {
                handler(granted);
            });
    }
}

std::shared_ptr<Recognizer> SimDictation::recognizerWith(const RecognizerTraits* traits) {
    if (traits == nullptr) {
        return nullptr;
    }
    return std::make_shared<SimRecognizer>(*traits, context_);
}

}  // namespace voicepipe::platform::sim
