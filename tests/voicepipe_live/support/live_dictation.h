// One dictation through a real audio server: voicepipe is started as the host starts it, the
// clip is played into the server's sink once voicepipe listens, and every event line is kept
// with the moment it arrived.
#pragma once

#include <sys/resource.h>

#include <optional>
#include <string>
#include <vector>

#include "support/pulse_server.h"
#include "support/speech_clip.h"

namespace voicepipe::testing {

struct TimedEvent {
    std::string key{};   // "level", "partial", "status", ...
    std::string text{};  // a string value; empty for numbers
    double number = 0;   // a number value ("level")
    SteadyTime at{};     // when the line was read
};

struct DictationRun {
    std::vector<TimedEvent> events{};
    std::optional<SteadyTime> speechOnset{};  // when the clip's speech began playing
    std::optional<SteadyTime> speechEnd{};    // when it finished
    int exitStatus = 0;
    rusage usage{};  // of the voicepipe process
    double cpuSeconds() const;

    // The events with that key, in order.
    std::vector<TimedEvent> withKey(const std::string& key) const;
    // The first event with that key and value, if any.
    std::optional<TimedEvent> find(const std::string& key, const std::string& text) const;
};

// The dictation's silence limit: long enough for the pauses between words of a slow speaker.
inline constexpr const char* kSilenceSeconds = "1.5";

// Runs `<program> en-US 1.5` against the server, plays the clip after "listening" and reads to
// the end of the output.
DictationRun dictate(const std::string& program, const PulseServer& server, const SpeechClip& clip);

}  // namespace voicepipe::testing
