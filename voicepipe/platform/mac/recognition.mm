#include "recognition.h"

#include "audio_engine.h"
#include "ns_text.h"

namespace voicepipe::platform::mac {
namespace {

// Holding the task keeps it alive for the session; it is never cancelled.
struct MacRecognitionTask final : RecognitionTask {
    explicit MacRecognitionTask(SFSpeechRecognitionTask* running) : task(running) {}
    SFSpeechRecognitionTask* task;
};

// Each of the handler's two arguments may be nil.
std::optional<RecognitionResult> resultFrom(SFSpeechRecognitionResult* result) {
    if (!result) {
        return std::nullopt;
    }
    return RecognitionResult{utf8FromNSString(result.bestTranscription.formattedString),
                             static_cast<bool>([result isFinal])};
}

std::optional<RecognitionError> errorFrom(NSError* error) {
    if (!error) {
        return std::nullopt;
    }
    return RecognitionError{utf8FromNSString(error.localizedDescription)};
}

}  // namespace

MacRecognitionRequest::MacRecognitionRequest()
    : request_([[SFSpeechAudioBufferRecognitionRequest alloc] init]) {}

void MacRecognitionRequest::setShouldReportPartialResults(bool on) {
    request_.shouldReportPartialResults = on;
}

void MacRecognitionRequest::setAddsPunctuation(bool on) {
    request_.addsPunctuation = on;
}

void MacRecognitionRequest::setRequiresOnDeviceRecognition(bool on) {
    request_.requiresOnDeviceRecognition = on;
}

void MacRecognitionRequest::append(const AudioBuffer& buffer) {
    if (const auto* captured = dynamic_cast<const MacAudioBuffer*>(&buffer)) {
        [request_ appendAudioPCMBuffer:captured->pcmBuffer()];
    }
}

void MacRecognitionRequest::endAudio() {
    [request_ endAudio];
}

bool MacRecognizer::isAvailable() {
    return [recognizer_ isAvailable];
}

bool MacRecognizer::supportsOnDeviceRecognition() {
    return recognizer_.supportsOnDeviceRecognition;
}

std::unique_ptr<RecognitionTask> MacRecognizer::recognitionTask(RecognitionRequest& request,
                                                                ResultHandler handler) {
    const auto* mac = dynamic_cast<const MacRecognitionRequest*>(&request);
    if (!mac) {
        return nullptr;
    }
    // The handler runs on the recogniser's queue, which by default is the main operation queue,
    // itself served by the main dispatch queue: the seam's promise holds without a hop.
    SFSpeechRecognitionTask* task =
        [recognizer_ recognitionTaskWithRequest:mac->request()
                                  resultHandler:^(SFSpeechRecognitionResult* _Nullable result,
                                                  NSError* _Nullable error) {
                                    @autoreleasepool {
                                        handler(resultFrom(result), errorFrom(error));
                                    }
                                  }];
    return std::make_unique<MacRecognitionTask>(task);
}

}  // namespace voicepipe::platform::mac
