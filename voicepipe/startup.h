// The steps of voicepipe's start-up that main takes in order, between the relaunch and handing
// the main thread to the main queue.
#pragma once

#include <memory>
#include <string>

#include "dictation_process.h"
#include "platform/platform.h"

namespace voicepipe {

// Every 0.5 s, first 0.5 s from now, for the life of the process: when the parent is no longer
// `parentAtStart`, ends the process with kExitFinished at once, without an event line.
void watchParent(DictationProcess& process);

// The recogniser for the locale, else the one for the user's default language; null when neither
// exists or the one found is not available.
std::shared_ptr<platform::Recognizer> openRecognizer(platform::Dictation& dictation,
                                                     const std::string& locale);

// A buffer recognition request with partial results and punctuation, recognising on the device
// when the recogniser supports that.
std::unique_ptr<platform::RecognitionRequest> createRequest(platform::Dictation& dictation,
                                                            platform::Recognizer& recognizer);

// The session state as it stands before listening: nothing recognised, nothing stopped.
void resetSessionState(DictationProcess& process);

// SIGTERM and SIGINT call `stop` on the main queue instead of ending the process.
void stopOnSignals(DictationProcess& process);

// Starts a detached thread that discards standard input and posts `stop` at its end.
void watchStandardInput(DictationProcess& process);

// Reads and discards `fd` until its end. A read error other than an interruption counts as the
// end: the host can no longer reach the process through it. A non-blocking descriptor is waited
// on until it is readable.
void waitForEndOfInput(int fd);

}  // namespace voicepipe
