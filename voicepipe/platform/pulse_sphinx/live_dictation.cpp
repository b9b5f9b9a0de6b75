#include "platform/pulse_sphinx/live_dictation.h"

#include <utility>

#include "platform/pulse_sphinx/pulse_audio_engine.h"
#include "platform/pulse_sphinx/sphinx_recognition.h"

namespace voicepipe::platform::pulse_sphinx {

LiveDictation::LiveDictation(MainQueue& mainQueue, EnvironmentReader environment,
                             std::filesystem::path modelRoot)
    : mainQueue_(mainQueue),
      environment_(std::move(environment)),
      modelRoot_(std::move(modelRoot)) {}

std::string LiveDictation::currentLocaleIdentifier() {
    return processLocaleIdentifier(environment_);
}

std::shared_ptr<Recognizer> LiveDictation::createRecognizer(const std::string& localeIdentifier) {
    const std::optional<SphinxModel> model = findModel(modelRoot_, localeIdentifier);
    if (!model) {
        return nullptr;
    }
    auto loaded = std::make_shared<LoadedDecoder>();
    loaded->decoder = SphinxDecoder::load(*model, dictationOptions());
    if (!loaded->decoder) {
        return nullptr;
    }
    return std::make_shared<SphinxRecognizer>(std::move(loaded), mainQueue_);
}

std::shared_ptr<Recognizer> LiveDictation::createDefaultRecognizer() {
    return createRecognizer(currentLocaleIdentifier());
}

std::unique_ptr<AudioEngine> LiveDictation::createAudioEngine() {
    return std::make_unique<PulseAudioEngine>();
}

std::unique_ptr<RecognitionRequest> LiveDictation::createBufferRecognitionRequest() {
    return std::make_unique<SphinxRecognitionRequest>();
}

void LiveDictation::requestSpeechAuthorization(std::function<void(SpeechAuthorization)> handler) {
    mainQueue_.async([handler = std::move(handler)] { handler(SpeechAuthorization::Authorized); });
}

void LiveDictation::requestMicrophoneAccess(std::function<void(bool granted)> handler) {
    mainQueue_.async([handler = std::move(handler)] { handler(true); });
}

}  // namespace voicepipe::platform::pulse_sphinx
