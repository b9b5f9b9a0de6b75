#include "support/fake_dictation.h"

#include <utility>

namespace voicepipe::testing {

FakeBuffer FakeBuffer::withRms(float rms, std::uint32_t frames) {
    FakeBuffer buffer;
    buffer.frames_ = frames;
    for (std::uint32_t i = 0; i < frames; ++i)
        buffer.samples_.push_back(i % 2 == 0 ? rms : -rms);
    return buffer;
}

FakeBuffer FakeBuffer::withoutFloatData(std::uint32_t frames) {
    FakeBuffer buffer;
    buffer.frames_ = frames;
    buffer.hasFloat_ = false;
    return buffer;
}

void FakeEngine::changeConfiguration(VirtualQueue& queue) {
    running = false;
    if (configurationChanged)
        queue.async(configurationChanged);
}

std::optional<std::string> FakeEngine::installTap(int bus, std::uint32_t bufferSize,
                                                  platform::AudioFormat, platform::TapBlock block) {
    calls.push_back("installTap " + std::to_string(bus) + " " + std::to_string(bufferSize));
    if (!tapFailure)
        tap = std::move(block);
    return tapFailure;
}

std::optional<std::string> FakeEngine::prepare() {
    calls.push_back("prepare");
    return prepareFailure;
}

void FakeEngine::removeTap(int bus) {
    calls.push_back("removeTap " + std::to_string(bus));
    tap = nullptr;
}

std::optional<std::string> FakeEngine::start() {
    calls.push_back("start");
    running = !startFailure;
    return startFailure;
}

void FakeEngine::stop() {
    calls.push_back("stop");
    running = false;
}

std::unique_ptr<platform::RecognitionTask> FakeRecognizer::recognitionTask(
    platform::RecognitionRequest&, platform::ResultHandler resultHandler) {
    ++tasksOpened;
    handler = std::move(resultHandler);
    return std::make_unique<platform::RecognitionTask>();
}

void FakeRecognizer::deliver(VirtualQueue& queue, std::optional<std::string> text, bool isFinal,
                             std::optional<std::string> error) {
    std::optional<platform::RecognitionResult> result;
    if (text)
        result = platform::RecognitionResult{*text, isFinal};
    std::optional<platform::RecognitionError> failure;
    if (error)
        failure = platform::RecognitionError{*error};
    queue.async([this, result, failure] { handler(result, failure); });
}

std::shared_ptr<platform::Recognizer> FakeDictation::createRecognizer(const std::string& locale) {
    recognizersAskedFor.push_back(locale);
    const auto found = recognizers.find(locale);
    if (found == recognizers.end())
        return nullptr;
    return found->second;
}

std::shared_ptr<platform::Recognizer> FakeDictation::createDefaultRecognizer() {
    recognizersAskedFor.push_back("");
    return defaultRecognizer;
}

std::unique_ptr<platform::AudioEngine> FakeDictation::createAudioEngine() {
    return std::make_unique<FakeEngine>();
}

std::unique_ptr<platform::RecognitionRequest> FakeDictation::createBufferRecognitionRequest() {
    return std::make_unique<FakeRequest>();
}

void FakeDictation::requestSpeechAuthorization(
    std::function<void(platform::SpeechAuthorization)> handler) {
    speechHandler = std::move(handler);
}

void FakeDictation::requestMicrophoneAccess(std::function<void(bool granted)> handler) {
    microphoneHandler = std::move(handler);
}

}  // namespace voicepipe::testing
