// Which language a locale asks for, and where the recogniser's model for it is installed.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace voicepipe::platform::pulse_sphinx {

// Where pocketsphinx-en-us and its sibling model packages install their folders.
inline const std::filesystem::path kModelRoot = "/usr/share/pocketsphinx/model";

using EnvironmentReader = std::function<const char*(const char* name)>;

// The process locale the way setlocale() would choose it for messages: LC_ALL, then LC_MESSAGES,
// then LANG, the first one that is set and not empty; its codeset and modifier dropped
// ("de_DE.UTF-8@euro" gives "de_DE"). Empty for the C and POSIX locales and when none is set:
// they name no language, so there is no default recogniser.
std::string processLocaleIdentifier(const EnvironmentReader& environment);

// The files of one installed model.
struct SphinxModel {
    std::filesystem::path acousticModel;
    std::filesystem::path languageModel;
    std::filesystem::path dictionary;
};

// The model for a locale identifier ("en-US", "en_GB", "en"): the folder <language>-<region>
// under `root` when there is one, else the first <language>-* or <language> folder, in name
// order. None when no folder of the language holds a complete model.
std::optional<SphinxModel> findModel(const std::filesystem::path& root,
                                     const std::string& localeIdentifier);

}  // namespace voicepipe::platform::pulse_sphinx
