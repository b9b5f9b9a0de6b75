// Live dictation benchmark: voicepipe dictates synthesised English sentences through a private
// PulseAudio server, as in the live tests, and this prints how well and how fast it recognised
// them. Build and run it with one command from the top of the repository:
//
//   scripts/bench-live-dictation
//
// Each sentence prints its transcription and word errors; the summary prints the figures with
// their targets on the reference machine. It takes about 7 s a sentence.
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "live_dictation/word_errors.h"
#include "support/live_dictation.h"
#include "support/voicepipe_process.h"

namespace voicepipe::bench {
namespace {

using testing::DictationRun;
using testing::SteadyTime;

const std::vector<std::string> kSentences = {
    "Please send me the report before the meeting tomorrow.",
    "I will call you back when I get home tonight.",
    "The weather has been very cold this week.",
    "Can you pick up some milk and bread on the way?",
    "We should book the hotel before the prices go up.",
    "Thank you for your help with the project.",
    "The train was late again this morning.",
    "Let me know if you need anything else.",
    "She is reading a book about the history of the city.",
    "Our team will finish the work by the end of the month.",
    "I think we need more time to test the new system.",
    "The children played in the garden all afternoon.",
    "Do you want to have lunch together on Friday?",
    "He forgot his keys at the office yesterday.",
    "The doctor said I should get more sleep.",
    "Please turn off the lights when you leave the room.",
    "My brother is moving to a new house next month.",
    "The store closes early on Sunday.",
    "We talked about the plan for the next year.",
    "It is going to rain later this evening.",
    "I am sorry but I cannot make it to the party.",
    "The price of coffee has gone up again.",
    "They are looking for a new place to live.",
    "Write down the address so that you do not forget it.",
};

double secondsBetween(SteadyTime from, SteadyTime to) {
    return std::chrono::duration<double>(to - from).count();
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double largest(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// CPU seconds of a dictation that is stopped as soon as it listens: loading the model and the
// process frame, which every dictation pays once whatever its length.
std::optional<double> startUpCpuSeconds(const testing::PulseServer& server) {
    testing::VoicepipeProcess voicepipe(
        testing::Launch{.program = VOICEPIPE_EXE,
                        .arguments = {"en-US", testing::kSilenceSeconds},
                        .environment = server.clientEnvironment()});
    if (!voicepipe.readUntil("listening"))
        return std::nullopt;
    voicepipe.signal(SIGTERM);
    voicepipe.allLines();
    DictationRun run;
    if (voicepipe.waitForEnd(&run.usage) != 0)
        return std::nullopt;
    return run.cpuSeconds();
}

struct Totals {
    std::size_t referenceWords = 0;
    std::size_t errors = 0;
    double cpuSeconds = 0;
    double capturedSeconds = 0;
    std::vector<double> firstPartialDelays;
    std::vector<double> lastPartialDelays;
    long peakKibibytes = 0;
    int failedRuns = 0;
};

void measure(const std::string& sentence, const DictationRun& run, Totals& totals) {
    const auto finals = run.withKey("final");
    const std::string heard = finals.empty() ? "" : finals.back().text;
    const auto reference = normalizedWords(sentence);
    const std::size_t errors = wordErrors(reference, normalizedWords(heard));
    totals.referenceWords += reference.size();
    totals.errors += errors;
    std::printf("%2zu/%zu  %-58s -> %s\n", errors, reference.size(), sentence.c_str(),
                heard.c_str());

    const auto listening = run.find("status", "listening");
    const auto stopped = run.find("status", "auto_stop");
    const char* missing = !listening         ? "no listening"
                          : !stopped         ? "no auto_stop"
                          : !run.speechOnset ? "no playback"
                                             : nullptr;
    if (run.exitStatus != 0 || missing) {
        std::printf("       exit status %d%s%s\n", run.exitStatus, missing ? ", " : "",
                    missing ? missing : "");
        ++totals.failedRuns;
        return;
    }
    totals.cpuSeconds += run.cpuSeconds();
    totals.capturedSeconds += secondsBetween(listening->at, stopped->at);
    totals.peakKibibytes = std::max(totals.peakKibibytes, run.usage.ru_maxrss);
    const auto partials = run.withKey("partial");
    if (!partials.empty()) {
        totals.firstPartialDelays.push_back(secondsBetween(*run.speechOnset, partials.front().at));
        totals.lastPartialDelays.push_back(secondsBetween(*run.speechEnd, partials.back().at));
    }
}

void printSummary(const Totals& totals, std::optional<double> startUpCpu, std::size_t runs) {
    const double wer = 100.0 * static_cast<double>(totals.errors) /
                       static_cast<double>(std::max<std::size_t>(totals.referenceWords, 1));
    const double rtf = totals.cpuSeconds / std::max(totals.capturedSeconds, 1e-9);
    const double startUp = startUpCpu.value_or(0);
    const double measured = static_cast<double>(runs - static_cast<std::size_t>(totals.failedRuns));
    const double decodeRtf =
        (totals.cpuSeconds - startUp * measured) / std::max(totals.capturedSeconds, 1e-9);
    std::printf("\n%zu sentences, %zu words, %d failed runs\n", runs, totals.referenceWords,
                totals.failedRuns);
    std::printf("word error rate                     %6.1f %%   target <= 20 %%\n", wer);
    std::printf(
        "real-time factor, decoding          %6.3f     target <= 0.2"
        "   (CPU time over captured audio, start-up excluded)\n",
        decodeRtf);
    std::printf("real-time factor, whole process     %6.3f     (start-up: %.2f s CPU%s)\n", rtf,
                startUp, startUpCpu ? "" : ", not measured");
    std::printf(
        "speech onset to first partial       %6.2f s   target <= 0.3 s   (median; "
        "largest %.2f s, %zu runs with partials)\n",
        median(totals.firstPartialDelays), largest(totals.firstPartialDelays),
        totals.firstPartialDelays.size());
    std::printf("end of speech to last partial       %6.2f s   (median; largest %.2f s)\n",
                median(totals.lastPartialDelays), largest(totals.lastPartialDelays));
    std::printf("peak memory                         %6.1f MiB target <= 150 MiB\n",
                static_cast<double>(totals.peakKibibytes) / 1024.0);
}

int runBenchmark() {
    testing::PulseServer server;
    if (!server.ready()) {
        std::fprintf(stderr, "the private PulseAudio server did not start\n");
        return 1;
    }
    const auto startUpCpu = startUpCpuSeconds(server);
    Totals totals;
    for (const std::string& sentence : kSentences) {
        const auto clip = testing::synthesizeSpeech(sentence, server.scratchFolder());
        if (!clip) {
            std::fprintf(stderr, "espeak-ng or sox failed on: %s\n", sentence.c_str());
            return 1;
        }
        measure(sentence, testing::dictate(VOICEPIPE_EXE, server, *clip), totals);
    }
    printSummary(totals, startUpCpu, kSentences.size());
    return 0;
}

}  // namespace
}  // namespace voicepipe::bench

int main() {
    // One sentence takes seconds: show each as it is done, also when the output is a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return voicepipe::bench::runBenchmark();
}
