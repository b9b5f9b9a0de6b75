// voicepipe [locale-identifier [silence-seconds]]: one dictation from the microphone to text,
// written as JSON event lines on standard output.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "arguments.h"
#include "authorization.h"
#include "dictation_process.h"
#include "events.h"
#include "platform/platform.h"
#include "process_exit.h"
#include "relaunch.h"
#include "standard_descriptors.h"
#include "startup.h"

using namespace voicepipe;

namespace {

// Never returns: it ends in serve(), or earlier with exitProcess. What it creates lives until the
// process ends and is never destroyed: a failure that unwinds to main must not pull the queue,
// the process state or the platform from under the threads that still use them.
void dictate(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    relaunchDisclaimedIfNeeded(argc, argv);

    platform::MainQueue& mainQueue = *platform::openMainQueue().release();
    DictationProcess& process = *new DictationProcess{mainQueue, stdout, exitProcess};
    process.parentAtStart = getppid();
    watchParent(process);

    // Null when the simulated platform's scenario cannot be loaded; it has said why on stderr.
    platform::Dictation* dictation = platform::openDictation(mainQueue).release();
    if (!dictation)
        exitProcess(kExitScenarioUnreadable);

    process.locale = localeArgument(argc, argv, *dictation);
    process.silenceSeconds = silenceSecondsArgument(argc, argv);
    process.maxSessionSeconds = kMaxSessionSeconds;

    std::shared_ptr<platform::Recognizer> recognizer = openRecognizer(*dictation, process.locale);
    if (!recognizer) {
        emit(process.events, {{"error", "unavailable"}});
        exitProcess(kExitUnavailable);
    }
    process.engine = dictation->createAudioEngine();
    process.request = createRequest(*dictation, *recognizer);

    resetSessionState(process);
    stopOnSignals(process);
    watchStandardInput(process);
    requestAuthorization(process, *dictation, std::move(recognizer));
    mainQueue.serve();
}

// What the system refused (no descriptor for the event loop, no thread, no memory) ends the
// dictation with an event that says so, instead of an abort that says nothing to the host.
[[noreturn]] void failForLackOf(const char* what) {
    try {
        emit(stdout, {{"error", std::string("system: ") + what}});
    } catch (...) {
        // Not even the line could be made: the status alone tells the host.
    }
    exitProcess(kExitSystemFailure);
}

}  // namespace

int main(int argc, char** argv) {
    descriptors::openMissingStandardDescriptors();
    try {
        dictate(argc, argv);
    } catch (const std::exception& failure) {
        failForLackOf(failure.what());
    } catch (...) {
        failForLackOf("unknown failure");
    }
}
