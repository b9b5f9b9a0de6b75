// A scenario of the simulated dictation platform: what the recogniser, the microphone and the
// permission prompts of a Linux build answer. Loaded once from a JSON file in which every key is
// optional; the defaults give one available en-US recogniser, both permissions granted at once,
// silence and no results.
#pragma once

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
    std::vector<AudioSegment> audio;
    std::vector<Delivery> results;   // timed from the opening of the recognition task
    std::vector<Delivery> afterEnd;  // timed from the end of the request's audio
    std::optional<std::string> logFile;

    // The traits of the recogniser for `localeIdentifier`, where "_" and "-" count as the same.
    const RecognizerTraits* recognizerFor(const std::string& localeIdentifier) const;
};

// The scenario, or a one-line description of what is wrong with the text.
std::variant<Scenario, std::string> parseScenario(const std::string& text);

// The scenario in the file at `path`, or a one-line description of the problem that names it.
std::variant<Scenario, std::string> loadScenario(const std::string& path);

}  // namespace voicepipe::platform::sim
