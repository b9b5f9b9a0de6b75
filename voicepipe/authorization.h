// The permission chain: speech recognition first, then the microphone.
#pragma once

#include <memory>

#include "dictation_process.h"
#include "platform/platform.h"

namespace voicepipe {

// Asks for speech-recognition permission and, once granted, for the microphone; with both it
// starts the session with the recogniser. A refusal writes "speech_denied" or "mic_denied" and
// exits with kExitPermissionDenied. The answers may come on any thread; every decision is made on
// the main queue.
void requestAuthorization(DictationProcess& process, platform::Dictation& dictation,
                          std::shared_ptr<platform::Recognizer> recognizer);

}  // namespace voicepipe
