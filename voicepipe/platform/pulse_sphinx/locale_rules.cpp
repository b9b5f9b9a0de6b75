#include "platform/pulse_sphinx/locale_rules.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <system_error>
#include <vector>

namespace voicepipe::platform::pulse_sphinx {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLocaleVariables[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
constexpr std::string_view kLanguageModelSuffix = ".lm.bin";
// A phonetic language model decodes phones, not words.
constexpr std::string_view kPhoneModelSuffix = "-phone.lm.bin";
constexpr std::string_view kDictionarySuffix = ".dict";

std::string lowercase(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::vector<fs::path> sortedEntries(const fs::path& folder) {
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The acoustic model is the subfolder with a model definition; the language model prefers the
// one named after the folder.
std::optional<SphinxModel> modelIn(const fs::path& folder) {
    SphinxModel model;
    std::error_code error;
    for (const fs::path& entry : sortedEntries(folder)) {
        const std::string name = entry.filename().string();
        if (model.acousticModel.empty() && fs::is_regular_file(entry / "mdef", error)) {
            model.acousticModel = entry;
        } else if (endsWith(name, kLanguageModelSuffix) && !endsWith(name, kPhoneModelSuffix) &&
                   (model.languageModel.empty() ||
                    name == folder.filename().string() + std::string(kLanguageModelSuffix))) {
            model.languageModel = entry;
        } else if (model.dictionary.empty() && endsWith(name, kDictionarySuffix)) {
            model.dictionary = entry;
        }
    }
    if (model.acousticModel.empty() || model.languageModel.empty() || model.dictionary.empty()) {
        return std::nullopt;
    }
    return model;
}

}  // namespace

std::string processLocaleIdentifier(const EnvironmentReader& environment) {
    for (const char* variable : kLocaleVariables) {
        const char* value = environment(variable);
        if (value == nullptr || *value == '\0') {
            continue;
        }
        std::string_view locale(value);
        locale = locale.substr(0, locale.find_first_of(".@"));
        if (locale == "C" || locale == "POSIX") {
            return "";
        }
        return std::string(locale);
    }
    return "";
}

std::optional<SphinxModel> findModel(const fs::path& root, const std::string& localeIdentifier) {
    const std::string locale = lowercase(localeIdentifier);
    const std::size_t languageEnd = locale.find_first_of("-_");
    const std::string language = locale.substr(0, languageEnd);
    if (language.empty()) {
        return std::nullopt;
    }
    std::vector<fs::path> candidates;
    if (languageEnd != std::string::npos) {
        const std::size_t regionEnd = locale.find_first_of("-_.@", languageEnd + 1);
        const std::string region = locale.substr(languageEnd + 1, regionEnd - languageEnd - 1);
        candidates.push_back(root / (language + "-" + region));
    }
    for (const fs::path& entry : sortedEntries(root)) {
        const std::string name = lowercase(entry.filename().string());
        if (name == language || name.rfind(language + "-", 0) == 0) {
            candidates.push_back(entry);
        }
    }
    for (const fs::path& folder : candidates) {
        if (auto model = modelIn(folder)) {
            return model;
        }
    }
    return std::nullopt;
}

}  // namespace voicepipe::platform::pulse_sphinx
