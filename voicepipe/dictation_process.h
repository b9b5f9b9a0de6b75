// The dictation process's state: what main creates once, in its fixed order, and every main-queue
// handler works on until the process ends.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/platform.h"

namespace voicepipe {

inline constexpr double kDefaultSilenceSeconds = 1.4;
inline constexpr double kMaxSessionSeconds = 90.0;

// Exit statuses of the dictation process.
inline constexpr int kExitFinished = 0;  // "final" written, or the parent went away
inline constexpr int kExitScenarioUnreadable = 1;
inline constexpr int kExitPermissionDenied = 2;
inline constexpr int kExitUnavailable = 3;
inline constexpr int kExitEngineFailed = 4;
inline constexpr int kExitRecognitionFailed = 5;
// The system refused what the process needs to run: descriptors, threads, memory.
inline constexpr int kExitSystemFailure = 6;

// Ends the process with a status. In the program it never returns (exitProcess); unit tests
// record the status instead, so every caller returns right after calling it.
using ExitFunction = std::function<void(int status)>;

// No lock guards this: apart from the audio tap's appends to `request` (which the platform
// request accepts from the capture thread), it is read and written only on the main queue.
struct DictationProcess {
    DictationProcess(platform::MainQueue& queue, std::FILE* eventStream, ExitFunction exit)
        : mainQueue(queue), events(eventStream), endProcess(std::move(exit)) {}

    platform::MainQueue& mainQueue;
    std::FILE* events;  // where the event lines go: standard output in the program
    ExitFunction endProcess;

    pid_t parentAtStart = 0;
    std::string locale;
    double silenceSeconds = kDefaultSilenceSeconds;
    double maxSessionSeconds = kMaxSessionSeconds;
    std::unique_ptr<platform::AudioEngine> engine;
    std::unique_ptr<platform::RecognitionRequest> request;
    std::unique_ptr<platform::RecognitionTask> task;
    std::string lastText;
    platform::Micros lastChange{};
    float lastLevel = 0;
    bool stopping = false;
    bool done = false;
};

}  // namespace voicepipe
