#include "operands.h"

#include <limits>

namespace fieldpilot {

namespace {

// The value of a signed decimal operand within [minimum, maximum], by hand rather than with
// strtol, which would also take leading white space, a "0x" prefix or trailing text.
std::optional<std::int64_t> parseDecimal(std::string_view text, std::int64_t minimum,
                                         std::int64_t maximum) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    // Accumulate toward the sign so that the most negative value is representable.
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const int digit = c - '0';
        if (negative) {
            if (value < (minimum + digit) / 10)
                return std::nullopt;
            value = value * 10 - digit;
        } else {
            if (value > (maximum - digit) / 10)
                return std::nullopt;
            value = value * 10 + digit;
        }
    }
    // The guard above divides toward zero, which lets "-1" to "-9" through when the minimum is 0.
    if (value < minimum)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::int32_t> parsePid(std::string_view operand) {
    const auto value = parseDecimal(operand, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max());
    if (!value)
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<std::uint32_t> parseWindowId(std::string_view operand) {
    const auto value = parseDecimal(operand, 0, std::numeric_limits<std::uint32_t>::max());
    if (!value)
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

std::optional<std::int64_t> parseBudget(std::string_view operand) {
    return parseDecimal(operand, std::numeric_limits<std::int64_t>::min(),
                        std::numeric_limits<std::int64_t>::max());
}

std::optional<std::string_view> operand(const Args& args, std::size_t index) {
    if (index >= args.size())
        return std::nullopt;
    return args[index];
}

}  // namespace fieldpilot
