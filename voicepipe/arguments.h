// voicepipe [locale-identifier [silence-seconds]]: argument 0 is the program name.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace voicepipe {

// Argument 1 unchanged when it is given, else the user's current locale.
std::string localeArgument(int argc, char** argv, platform::Dictation& dictation);

// Argument 2 when it is given and parses, else kDefaultSilenceSeconds.
double silenceSecondsArgument(int argc, char** argv);

// The whole text as one number the way strtod reads it in the C locale, whatever the process
// locale is: decimal or hexadecimal, infinity and NaN included. Empty text, leading white space
// or anything after the number give nullopt.
std::optional<double> parseSeconds(const char* text);

}  // namespace voicepipe
