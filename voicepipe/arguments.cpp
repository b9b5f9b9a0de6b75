#include "arguments.h"

#include <locale.h>
#include <stdlib.h>
#if defined(__APPLE__)
#include <xlocale.h>
#endif

#include <string_view>

#include "dictation_process.h"

namespace voicepipe {

namespace {

constexpr int kLocalePosition = 1;
constexpr int kSilencePosition = 2;

// White space as the C locale knows it, whatever the process locale is.
bool isWhiteSpace(char c) {
    return std::string_view(" \t\n\v\f\r").find(c) != std::string_view::npos;
}

locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

}  // namespace

std::string localeArgument(int argc, char** argv, platform::Dictation& dictation) {
    if (argc > kLocalePosition)
        return argv[kLocalePosition];
    return dictation.currentLocaleIdentifier();
}

double silenceSecondsArgument(int argc, char** argv) {
    if (argc <= kSilencePosition)
        return kDefaultSilenceSeconds;
    return parseSeconds(argv[kSilencePosition]).value_or(kDefaultSilenceSeconds);
}

std::optional<double> parseSeconds(const char* text) {
    const locale_t locale = cLocale();
    if (locale == locale_t{})
        return std::nullopt;
    // strtod would skip leading white space; the argument must be the number alone.
    if (*text == '\0' || isWhiteSpace(*text))
        return std::nullopt;
    char* end = nullptr;
    const double value = strtod_l(text, &end, locale);
    if (end == text || *end != '\0')
        return std::nullopt;
    return value;
}

}  // namespace voicepipe
