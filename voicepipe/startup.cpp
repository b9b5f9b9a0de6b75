#include "startup.h"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <thread>

#include "session.h"

namespace voicepipe {

namespace {

constexpr platform::Micros kWatchdogInterval{500'000};
constexpr int kStopSignals[] = {SIGTERM, SIGINT};

bool waitUntilReadable(int fd) {
    pollfd watched{fd, POLLIN, 0};
    while (poll(&watched, 1, -1) == -1) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

}  // namespace

void watchParent(DictationProcess& process) {
    process.mainQueue.repeating(kWatchdogInterval, [&process] {
        if (getppid() != process.parentAtStart)
            process.endProcess(kExitFinished);
    });
}

std::shared_ptr<platform::Recognizer> openRecognizer(platform::Dictation& dictation,
                                                     const std::string& locale) {
    std::shared_ptr<platform::Recognizer> recognizer = dictation.createRecognizer(locale);
    if (!recognizer)
        recognizer = dictation.createDefaultRecognizer();
    if (!recognizer || !recognizer->isAvailable())
        return nullptr;
    return recognizer;
}

std::unique_ptr<platform::RecognitionRequest> createRequest(platform::Dictation& dictation,
                                                            platform::Recognizer& recognizer) {
    std::unique_ptr<platform::RecognitionRequest> request =
        dictation.createBufferRecognitionRequest();
    request->setShouldReportPartialResults(true);
    request->setAddsPunctuation(true);
    if (recognizer.supportsOnDeviceRecognition())
        request->setRequiresOnDeviceRecognition(true);
    return request;
}

void resetSessionState(DictationProcess& process) {
    process.task.reset();
    process.lastText.clear();
    process.lastChange = process.mainQueue.now();
    process.lastLevel = 0;
    process.stopping = false;
    process.done = false;
}

void stopOnSignals(DictationProcess& process) {
    // Ignored, so that the default action cannot end the process; the sources still report them.
    for (const int signal : kStopSignals)
        std::signal(signal, SIG_IGN);
    for (const int signal : kStopSignals) {
        process.mainQueue.onSignal(signal, [&process] { stop(process); });
    }
}

void watchStandardInput(DictationProcess& process) {
    std::thread([&process] {
        waitForEndOfInput(STDIN_FILENO);
        process.mainQueue.async([&process] { stop(process); });
    }).detach();
}

void waitForEndOfInput(int fd) {
    std::array<char, 4096> discarded;
    for (;;) {
        const ssize_t count = read(fd, discarded.data(), discarded.size());
        if (count > 0)
            continue;
        if (count == 0)
            return;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return;
        if (!waitUntilReadable(fd))
            return;
    }
}

}  // namespace voicepipe
