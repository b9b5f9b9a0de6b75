// voicepipe's silence-seconds argument against strtod's rules in the C locale: the whole argument
// must be one number that strtod reads, with no white space before it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "arguments.h"
#include "support/fuzz_check.h"

namespace {

std::optional<double> referenceSeconds(const std::string& text) {
    if (text.empty() || std::string(" \t\n\v\f\r").find(text.front()) != std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        return std::nullopt;
    return value;
}

bool same(std::optional<double> a, std::optional<double> b) {
    if (!a || !b)
        return !a && !b;
    return *a == *b || (std::isnan(*a) && std::isnan(*b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    // An argument ends at its first NUL.
    const std::string argument(reinterpret_cast<const char*>(bytes),
                               std::find(bytes, bytes + size, 0) - bytes);
    fuzz::require(same(voicepipe::parseSeconds(argument.c_str()), referenceSeconds(argument)),
                  "the seconds are read as strtod reads the whole argument");
    return 0;
}
