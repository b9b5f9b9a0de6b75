#include "support/live_dictation.h"

#include <chrono>
#include <nlohmann/json.hpp>
#include <thread>

#include "support/voicepipe_process.h"

namespace voicepipe::testing {

namespace {

std::optional<TimedEvent> eventOf(const std::string& line) {
    const auto parsed = nlohmann::json::parse(line, nullptr, false);
    if (!parsed.is_object() || parsed.size() != 1)
        return std::nullopt;
    const auto& [key, value] = parsed.items().begin();
    TimedEvent event{.key = key, .at = std::chrono::steady_clock::now()};
    if (value.is_string())
        event.text = value.get<std::string>();
    else if (value.is_number())
        event.number = value.get<double>();
    return event;
}

double secondsOf(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

std::chrono::steady_clock::duration durationOf(double seconds) {
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(seconds));
}

}  // namespace

double DictationRun::cpuSeconds() const {
    return secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
}

std::vector<TimedEvent> DictationRun::withKey(const std::string& key) const {
    std::vector<TimedEvent> result;
    for (const TimedEvent& event : events) {
        if (event.key == key)
            result.push_back(event);
    }
    return result;
}

std::optional<TimedEvent> DictationRun::find(const std::string& key,
                                             const std::string& text) const {
    for (const TimedEvent& event : events) {
        if (event.key == key && event.text == text)
            return event;
    }
    return std::nullopt;
}

DictationRun dictate(const std::string& program, const PulseServer& server,
                     const SpeechClip& clip) {
    VoicepipeProcess voicepipe(Launch{.program = program,
                                      .arguments = {"en-US", kSilenceSeconds},
                                      .environment = server.clientEnvironment()});
    DictationRun run;
    std::optional<SteadyTime> playbackStart;
    std::thread player;
    while (const auto line = voicepipe.nextLine()) {
        const auto event = eventOf(*line);
        if (!event)
            continue;
        run.events.push_back(*event);
        if (event->key == "status" && event->text == "listening" && !player.joinable()) {
            player =
                std::thread([&] { playbackStart = playToEnd(server.address(), clip.samples); });
        }
    }
    if (player.joinable())
        player.join();
    run.exitStatus = voicepipe.waitForEnd(&run.usage);
    if (playbackStart) {
        run.speechOnset = *playbackStart + durationOf(clip.onsetSeconds);
        run.speechEnd = *playbackStart + durationOf(clip.endSeconds);
    }
    return run;
}

}  // namespace voicepipe::testing
