// A scenario of the simulated dictation platform: what the recogniser, the microphone and the
// permission prompts of a Linux build answer. Loaded once from a JSON file in which every key is
// optional; the defaults give one available en-US recogniser, both permissions granted at once,
// silence and no results.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/platform.h"

namespace voicepipe::platform::sim {

struct RecognizerTraits {
    bool available = true;
    bool onDevice = true;
};

struct AudioSegment {
    double seconds = 0;
    float rms = 0;
    bool hasFloatData = true;
};

// One call of the result handler: at `offset` from the moment it is timed from.
struct Delivery {
    Micros offset{0};
    std::optional<RecognitionResult> result;
    std::optional<RecognitionError> error;
};

struct Scenario {
    // Keyed by locale identifier as written in the file.
    std::map<std::string, RecognizerTraits> recognizers{{"en-US", {}}};
    std::string currentLocale = "en-US";
    std::optional<std::string> defaultLanguage = "en-US";
    SpeechAuthorization speech = SpeechAuthorization::Authorized;
    std::optional<Micros> speechDelay = Micros{0};
    bool microphone = true;
    std::optional<Micros> microphoneDelay = Micros{0};
    std::optional<std::string> engineError;
    std::optional<std::string> engineException;   // the reason of the exception start raises
    AudioFormat inputFormat{16000, 1};            // a rate or channel count of 0: no input device
    std::optional<Micros> configurationChangeAt;  // after the engine's start
    std::vector<AudioSegment> audio;
    std::vector<Delivery> results;   // timed from the opening of the recognition task
    std::vector<Delivery> afterEnd;  // timed from the end of the request's audio
    std::optional<std::string> logFile;

    // The traits of the recogniser for `localeIdentifier`, where "_" and "-" count as the same.
    const RecognizerTraits* recognizerFor(const std::string& localeIdentifier) const;
};

// Limits of a scenario file, refused beyond with a one-line problem.
inline constexpr std::size_t kDeepestScenarioNesting = 512;  // arrays and objects within each other
inline constexpr std::size_t kLargestScenarioBytes = 64 << 20;

// The scenario, or a one-line description of what is wrong with the text: not JSON, a number
// beyond a double, nesting deeper than kDeepestScenarioNesting, a key of the wrong type or out
// of its range.
std::variant<Scenario, std::string> parseScenario(const std::string& text);

// The scenario in the file at `path`, or a one-line description of the problem that names it.
std::variant<Scenario, std::string> loadScenario(const std::string& path);

}  // namespace voicepipe::platform::sim
