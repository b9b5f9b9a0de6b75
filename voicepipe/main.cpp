// voicepipe [locale-identifier [silence-seconds]]: one dictation from the microphone to text,
// written as JSON event lines on standard output.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <utility>

#include "arguments.h"
#include "authorization.h"
#include "dictation_process.h"
#include "events.h"
#include "platform/platform.h"
#include "process_exit.h"
#include "relaunch.h"
#include "startup.h"

using namespace voicepipe;

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    relaunchDisclaimedIfNeeded(argc, argv);

    std::unique_ptr<platform::MainQueue> mainQueue = platform::openMainQueue();
    DictationProcess process{*mainQueue, stdout, exitProcess};
    process.parentAtStart = getppid();
    watchParent(process);

    // Null when the simulated platform's scenario cannot be loaded; it has said why on stderr.
    std::unique_ptr<platform::Dictation> dictation = platform::openDictation(*mainQueue);
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
    mainQueue->serve();
}
