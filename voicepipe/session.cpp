#include "session.h"

#include <chrono>
#include <optional>
#include <string>

#include "events.h"
#include "unicode.h"

namespace voicepipe {

namespace {

using platform::Micros;

constexpr int kInputBus = 0;
constexpr std::uint32_t kTapBufferFrames = 1024;
constexpr Micros kAutoStopInterval{200'000};
// How long `stop` gives the recogniser to deliver its last result.
constexpr Micros kFinishDelay{1'500'000};
// Below this level (an RMS of about -27.5 dBFS) the speaker counts as quiet.
constexpr float kQuietLevel = 0.45f;
constexpr auto kNoInputDevice = "no audio input device";

double secondsBetween(Micros earlier, Micros later) {
    return std::chrono::duration<double>(later - earlier).count();
}

bool silenceRuleFires(const DictationProcess& process, Micros now) {
    return process.silenceSeconds > 0 && !process.lastText.empty() &&
           secondsBetween(process.lastChange, now) >= process.silenceSeconds &&
           process.lastLevel < kQuietLevel;
}

bool sessionCapReached(const DictationProcess& process, Micros sessionStart, Micros now) {
    return secondsBetween(sessionStart, now) >= process.maxSessionSeconds;
}

void autoStopTick(DictationProcess& process, Micros sessionStart) {
    // The timer keeps firing after a stop; its ticks then do nothing.
    if (process.stopping)
        return;
    const Micros now = process.mainQueue.now();
    if (!silenceRuleFires(process, now) && !sessionCapReached(process, sessionStart, now))
        return;
    emit(process.events, {{"status", "auto_stop"}});
    stop(process);
}

void handleRecognition(DictationProcess& process,
                       const std::optional<platform::RecognitionResult>& result,
                       const std::optional<platform::RecognitionError>& error) {
    if (result) {
        const std::string& text = result->bestTranscription;
        if (!unicode::canonicallyEquivalent(text, process.lastText)) {
            process.lastChange = process.mainQueue.now();
        }
        process.lastText = text;
        if (result->isFinal) {
            finish(process, process.lastText);
            return;
        }
        emit(process.events, {{"partial", process.lastText}});
    }
    if (error) {
        if (!process.stopping && process.lastText.empty()) {
            emit(process.events, {{"error", error->localizedDescription}});
            process.endProcess(kExitRecognitionFailed);
            return;
        }
        // After a stop, or once some text is there, an error ends the dictation normally.
        finish(process, process.lastText);
    }
}

// Taps the input, prepares and starts the engine, stopping at the first step that fails; the
// reason, when one does. A Mac without any audio input (a Mac mini with no microphone, a closed
// MacBook) gives a format of 0 Hz or 0 channels, and AVFAudio raises an exception on every step
// after that, so it is not taken.
std::optional<std::string> startEngine(DictationProcess& process) {
    platform::AudioEngine& engine = *process.engine;
    const platform::AudioFormat format = engine.inputFormat(kInputBus);
    if (format.sampleRate == 0 || format.channelCount == 0)
        return kNoInputDevice;
    if (auto failure =
            engine.installTap(kInputBus, kTapBufferFrames, format, makeAudioTap(process)))
        return failure;
    // Observed before the start, so that a change right after it is not missed. The engine has
    // stopped itself then and delivers nothing more: the dictation ends as a stop request ends it.
    engine.onConfigurationChange([&process] { stop(process); });
    if (auto failure = engine.prepare())
        return failure;
    return engine.start();
}

}  // namespace

void start(DictationProcess& process, std::shared_ptr<platform::Recognizer> recognizer) {
    if (const std::optional<std::string> failure = startEngine(process)) {
        emit(process.events, {{"error", "mic: " + *failure}});
        process.endProcess(kExitEngineFailed);
        return;
    }
    emit(process.events, {{"status", "listening"}});
    const Micros sessionStart = process.mainQueue.now();
    process.lastChange = process.mainQueue.now();
    process.mainQueue.repeating(kAutoStopInterval,
                                [&process, sessionStart] { autoStopTick(process, sessionStart); });
    process.task = recognizer->recognitionTask(*process.request,
                                               [&process](const auto& result, const auto& error) {
                                                   handleRecognition(process, result, error);
                                               });
}

void stop(DictationProcess& process) {
    if (process.stopping)
        return;
    process.stopping = true;
    if (process.engine->isRunning()) {
        process.engine->stop();
        process.engine->removeTap(kInputBus);
    }
    process.request->endAudio();
    process.mainQueue.after(kFinishDelay, [&process] { finish(process, process.lastText); });
}

void finish(DictationProcess& process, const std::string& text) {
    if (process.done)
        return;
    process.done = true;
    emit(process.events, {{"final", text}});
    process.endProcess(kExitFinished);
}

}  // namespace voicepipe
