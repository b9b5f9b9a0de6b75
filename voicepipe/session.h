// The recognition session: from the granted permissions to the final text. Everything here runs
// on the main queue except the audio tap, which runs on the audio capture thread.
#pragma once

#include <memory>
#include <string>

#include "dictation_process.h"
#include "platform/platform.h"

namespace voicepipe {

// Starts capturing and recognising: "status" "listening", then "level" and "partial" events,
// until the silence rule or the session cap stops it, or a change of the audio hardware stops the
// engine (which stops the dictation as a stop request does). Exits with kExitEngineFailed after
// "mic: ..." when there is no input device or the audio engine does not start. It does not look
// at `stopping`.
void start(DictationProcess& process, std::shared_ptr<platform::Recognizer> recognizer);

// Stops the audio and ends the request's audio; 1.5 s later `finish` writes whatever `lastText`
// is then. Only the first call acts.
void stop(DictationProcess& process);

// Writes "final" with the text and exits with kExitFinished. Only the first call acts.
void finish(DictationProcess& process, const std::string& text);

// The audio tap that `start` installs: feeds every buffer to the request and meters the level.
platform::TapBlock makeAudioTap(DictationProcess& process);

}  // namespace voicepipe
