#include "platform/sim/scenario.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace voicepipe::platform::sim {

namespace {

using nlohmann::json;

// Longest time a scenario may give, so that every time fits in microseconds.
constexpr double kLongestSeconds = 1e9;
constexpr std::uint64_t kHighestSpeechStatus = 3;
constexpr double kHighestRate = 1e6;
constexpr std::uint64_t kMostChannels = 64;

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

AudioFormat readInputFormat(const json& value) {
    const json& fields = readObject(value, "inputFormat");
    AudioFormat format;
    if (const auto* rate = member(fields, "sampleRate")) {
        if (!rate->is_number() ||
            !(rate->get<double>() >= 0 && rate->get<double>() <= kHighestRate)) {
            reject("inputFormat.sampleRate", "a number of hertz from 0 to 1e6");
        }
        format.sampleRate = rate->get<double>();
    }
    if (const auto* channels = member(fields, "channels")) {
        if (!channels->is_number_unsigned() || channels->get<std::uint64_t>() > kMostChannels) {
            reject("inputFormat.channels", "an integer from 0 to 64");
        }
        format.channelCount = static_cast<std::uint32_t>(channels->get<std::uint64_t>());
    }
    return format;
}

SpeechAuthorization readSpeech(const json& value) {
    // Integers from 0 up are the unsigned ones; anything beyond the statuses is refused rather
    // than cut down to an int, where 4294967299 would turn into 3.
    if (!value.is_number_unsigned() || value.get<std::uint64_t>() > kHighestSpeechStatus) {
        reject("speech", "an integer from 0 to 3");
    }
    return static_cast<SpeechAuthorization>(value.get<std::uint64_t>());
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
    if (const auto* value = member(file, "engineException")) {
        scenario.engineException = readStringOrNull(*value, "engineException");
    }
    if (const auto* value = member(file, "inputFormat")) {
        scenario.inputFormat = readInputFormat(*value);
    }
    if (const auto* value = member(file, "configurationChangeAt")) {
        scenario.configurationChangeAt = readDelay(*value, "configurationChangeAt");
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

// Whether arrays and objects in `text` nest deeper than `limit`, counted without parsing so that
// no parser ever walks a deeper file.
bool nestsDeeperThan(const std::string& text, std::size_t limit) {
    std::size_t depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) {
                return true;
            }
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return false;
}

std::string withDashes(std::string localeIdentifier) {
    for (char& c : localeIdentifier) {
        if (c == '_') {
            c = '-';
        }
    }
    return localeIdentifier;
}

// The path as it can stand in a one-line message: control characters become '?'.
std::string printable(std::string path) {
    for (char& c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            c = '?';
        }
    }
    return path;
}

// The file's bytes; none, with errno set, when it cannot be opened or read (EFBIG when it holds
// more than a scenario may: /dev/zero, say, would otherwise fill the memory).
std::optional<std::string> readWholeFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string text;
    char chunk[4096];
    ssize_t count;
    while ((count = read(fd, chunk, sizeof chunk)) > 0) {
        if (text.size() + static_cast<std::size_t>(count) > kLargestScenarioBytes) {
            close(fd);
            errno = EFBIG;
            return std::nullopt;
        }
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
    if (nestsDeeperThan(text, kDeepestScenarioNesting)) {
        return "nests arrays and objects deeper than " + std::to_string(kDeepestScenarioNesting);
    }
    try {
        return readScenario(json::parse(text));
    } catch (const json::parse_error& error) {
        return "not valid JSON (at byte " + std::to_string(error.byte) + ")";
    } catch (const json::out_of_range&) {
        // The parser's only range error: a number beyond what a double holds, such as 1e400.
        return "holds a number too large to represent";
    } catch (const json::exception&) {
        return "cannot be read as a scenario";
    } catch (const InvalidScenario& problem) {
        return problem.what();
    } catch (const std::bad_alloc&) {
        return "too large to load";
    }
}

std::variant<Scenario, std::string> loadScenario(const std::string& path) {
    const std::string name = printable(path);
    auto text = readWholeFile(path);
    if (!text) {
        if (errno == EFBIG) {
            return "scenario " + name + ": larger than " + std::to_string(kLargestScenarioBytes) +
                   " bytes";
        }
        return "cannot read scenario " + name + ": " + std::strerror(errno);
    }
    auto parsed = parseScenario(*text);
    if (auto* problem = std::get_if<std::string>(&parsed)) {
        return "scenario " + name + ": " + *problem;
    }
    return parsed;
}

}  // namespace voicepipe::platform::sim
