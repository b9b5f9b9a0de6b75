#include "authorization.h"

#include <utility>

#include "events.h"
#include "session.h"

namespace voicepipe {

namespace {

using platform::Recognizer;

void refuse(DictationProcess& process, const char* reason) {
    emit(process.events, {{"error", reason}});
    process.endProcess(kExitPermissionDenied);
}

void onMicrophoneAnswer(DictationProcess& process, bool granted,
                        std::shared_ptr<Recognizer> recognizer) {
    if (!granted) {
        refuse(process, "mic_denied");
        return;
    }
    start(process, std::move(recognizer));
}

void onSpeechAnswer(DictationProcess& process, platform::Dictation& dictation,
                    platform::SpeechAuthorization status, std::shared_ptr<Recognizer> recognizer) {
    if (status != platform::SpeechAuthorization::Authorized) {
        refuse(process, "speech_denied");
        return;
    }
    dictation.requestMicrophoneAccess([&process, recognizer](bool granted) {
        process.mainQueue.async(
            [&process, granted, recognizer] { onMicrophoneAnswer(process, granted, recognizer); });
    });
}

}  // namespace

void requestAuthorization(DictationProcess& process, platform::Dictation& dictation,
                          std::shared_ptr<Recognizer> recognizer) {
    dictation.requestSpeechAuthorization(
        [&process, &dictation, recognizer](platform::SpeechAuthorization status) {
            process.mainQueue.async([&process, &dictation, status, recognizer] {
                onSpeechAnswer(process, dictation, status, recognizer);
            });
        });
}

}  // namespace voicepipe
