#include "platform/sim/scenario.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace voicepipe::platform::sim {

namespace {

using nlohmann::json;

// Longest time a scenario may give, so that every time fits in microseconds.
constexpr double kLongestSeconds = 1e9;

class InvalidScenario : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void reject(const std::string& where, const char* expectation) {
    throw InvalidScenario(where + " must be " + expectation);
}

const json* member(const json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

bool readBool(const json& value, const std::string& where) {
    if (!value.is_boolean()) {
        reject(where, "true or false");
    }
    return value.get<bool>();
}

std::string readString(const json& value, const std::string& where) {
    if (!value.is_string()) {
        reject(where, "a string");
    }
    return value.get<std::string>();
}

std::optional<std::string> readStringOrNull(const json& value, const std::string& where) {
    if (value.is_null()) {
        return std::nullopt;
    }
    if (!value.is_string()) {
        reject(where, "a string or null");
    }
    return value.get<std::string>();
}

Micros readSeconds(const json& value, const std::string& where) {
    if (!value.is_number()) {
        reject(where, "a number of seconds");
    }
    const double seconds = value.get<double>();
    if (!(seconds >= 0 && seconds <= kLongestSeconds)) {
        reject(where, "a number of seconds from 0 to 1e9");
    }
    return Micros{std::llround(seconds * 1e6)};
}

std::optional<Micros> readDelay(const json& value, const std::string& where) {
    if (value.is_null()) {
        return std::nullopt;
    }
    if (!value.is_number()) {
        reject(where, "a number of seconds or null");
    }
    return readSeconds(value, where);
}

float readSample(const json& value, const std::string& where) {
    if (!value.is_number() || !(std::fabs(value.get<double>()) <= FLT_MAX)) {
        reject(where, "a number");
    }
    return static_cast<float>(value.get<double>());
}

const json& readObject(const json& value, const std::string& where) {
    if (!value.is_object()) {
        reject(where, "an object");
    }
    return value;
}

const json& readArray(const json& value, const std::string& where) {
    if (!value.is_array()) {
        reject(where, "an array");
    }
    return value;
}

std::map<std::string, RecognizerTraits> readRecognizers(const json& value) {
    std::map<std::string, RecognizerTraits> recognizers;
    for (const auto& [locale, entry] : readObject(value, "recognizers").items()) {
        const std::string where = "recognizers[\"" + locale + "\"]";
        const json& fields = readObject(entry, where);
        RecognizerTraits traits;
        if (const auto* available = member(fields, "available")) {
            traits.available = readBool(*available, where + ".available");
        }
        if (const auto* onDevice = member(fields, "onDevice")) {
            traits.onDevice = readBool(*onDevice, where + ".onDevice");
        }
        recognizers[locale] = traits;
    }
    return recognizers;
}

std::vector<AudioSegment> readAudio(const json& value) {
    std::vector<AudioSegment> segments;
    for (const auto& entry : readArray(value, "audio")) {
        const std::string where = "audio[" + std::to_string(segments.size()) + "]";
        const json& fields = readObject(entry, where);
        AudioSegment segment;
        if (const auto* seconds = member(fields, "seconds")) {
            segment.seconds = readSeconds(*seconds, where + ".seconds").count() / 1e6;
        }
        if (const auto* rms = member(fields, "rms")) {
            segment.rms = readSample(*rms, where + ".rms");
        }
        if (const auto* hasFloat = member(fields, "float")) {
            segment.hasFloatData = readBool(*hasFloat, where + ".float");
        }
        segments.push_back(segment);
    }
    return segments;
}

// `timeKey` is "at" for results and "after" for deliveries after the end of the audio.
std::vector<Delivery> readDeliveries(const json& value, const std::string& name,
                                     const char* timeKey) {
    std::vector<Delivery> deliveries;
    for (const auto& entry : readArray(value, name)) {
        const std::string where = name + "[" + std::to_string(deliveries.size()) + "]";
        const json& fields = readObject(entry, where);
        Delivery delivery;
        if (const auto* offset = member(fields, timeKey)) {
            delivery.offset = readSeconds(*offset, where + "." + timeKey);
        }
        if (const auto* text = member(fields, "text")) {
            delivery.result = RecognitionResult{readString(*text, where + ".text"), false};
        }
        if (const auto* isFinal = member(fields, "final")) {
            const bool finalResult = readBool(*isFinal, where + ".final");
            if (delivery.result) {
                delivery.result->isFinal = finalResult;
            }
        }
        if (const auto* error = member(fields, "error")) {
            delivery.error = RecognitionError{readString(*error, where + ".error")};
        }
        deliveries.push_back(std::move(delivery));
    }
    return deliveries;
}

SpeechAuthorization readSpeech(const json& value) {
    if (!value.is_number_integer()) {
        reject("speech", "an integer");
    }
    return static_cast<SpeechAuthorization>(value.get<int>());
}

Scenario readScenario(const json& file) {
    Scenario scenario;
    if (!file.is_object()) {
        throw InvalidScenario("the file must hold a JSON object");
    }
    if (const auto* value = member(file, "recognizers")) {
        scenario.recognizers = readRecognizers(*value);
    }
    if (const auto* value = member(file, "currentLocale")) {
        scenario.currentLocale = readString(*value, "currentLocale");
    }
    if (const auto* value = member(file, "defaultLanguage")) {
        scenario.defaultLanguage = readStringOrNull(*value, "defaultLanguage");
    }
    if (const auto* value = member(file, "speech")) {
        scenario.speech = readSpeech(*value);
    }
    if (const auto* value = member(file, "speechDelay")) {
        scenario.speechDelay = readDelay(*value, "speechDelay");
    }
    if (const auto* value = member(file, "microphone")) {
        scenario.microphone = readBool(*value, "microphone");
    }
    if (const auto* value = member(file, "microphoneDelay")) {
        scenario.microphoneDelay = readDelay(*value, "microphoneDelay");
    }
    if (const auto* value = member(file, "engineError")) {
        scenario.engineError = readStringOrNull(*value, "engineError");
    }
    if (const auto* value = member(file, "audio")) {
        scenario.audio = readAudio(*value);
    }
    if (const auto* value = member(file, "results")) {
        scenario.results = readDeliveries(*value, "results", "at");
    }
    if (const auto* value = member(file, "afterEnd")) {
        scenario.afterEnd = readDeliveries(*value, "afterEnd", "after");
    }
    if (const auto* value = member(file, "logFile")) {
        scenario.logFile = readString(*value, "logFile");
    }
    return scenario;
}

std::string withDashes(std::string localeIdentifier) {
    for (char& c : localeIdentifier) {
        if (c == '_') {
            c = '-';
        }
    }
    return localeIdentifier;
}

// The file's bytes; none, with errno set, when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string text;
    char chunk[4096];
    ssize_t count;
    while ((count = read(fd, chunk, sizeof chunk)) > 0) {
        text.append(chunk, static_cast<std::size_t>(count));
    }
    const int readError = errno;
    close(fd);
    if (count < 0) {
        errno = readError;
        return std::nullopt;
    }
    return text;
}

}  // namespace

const RecognizerTraits* Scenario::recognizerFor(const std::string& localeIdentifier) const {
    const std::string wanted = withDashes(localeIdentifier);
    for (const auto& [locale, traits] : recognizers) {
        if (withDashes(locale) == wanted) {
            return &traits;
        }
    }
    return nullptr;
}

std::variant<Scenario, std::string> parseScenario(const std::string& text) {
    try {
        return readScenario(json::parse(text));
    } catch (const json::parse_error& error) {
        return "not valid JSON (at byte " + std::to_string(error.byte) + ")";
    } catch (const InvalidScenario& problem) {
        return problem.what();
    }
}

std::variant<Scenario, std::string> loadScenario(const std::string& path) {
    auto text = readWholeFile(path);
    if (!text) {
        return "cannot read scenario " + path + ": " + std::strerror(errno);
    }
    auto parsed = parseScenario(*text);
    if (auto* problem = std::get_if<std::string>(&parsed)) {
        return "scenario " + path + ": " + *problem;
    }
    return parsed;
}

}  // namespace voicepipe::platform::sim
