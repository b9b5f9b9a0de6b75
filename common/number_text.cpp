#include "number_text.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace number_text {

namespace {

constexpr int kMaxSignificantDigits = 17;  // enough for every double to read back exactly

// A positive decimal value: the significant digits, the first one before the point, times ten to
// the power of `exponent` (scientific notation's exponent).
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// The digits and exponent of printf's "%.*e" text. The text's decimal point is skipped rather
// than matched, because printf writes the one of LC_NUMERIC.
Decimal parseScientific(std::string_view text) {
    Decimal decimal;
    const std::size_t exponentMark = text.find('e');
    for (const char c : text.substr(0, exponentMark)) {
        if (c >= '0' && c <= '9')
            decimal.digits += c;
    }
    decimal.exponent = std::atoi(std::string(text.substr(exponentMark + 1)).c_str());
    return decimal;
}

// Whether the decimal reads back as `number`. The text has no decimal point (digits as an integer,
// then a power of ten), so strtod reads it the same way in every locale.
bool readsBackAs(const Decimal& decimal, double number) {
    const int integerExponent = decimal.exponent - static_cast<int>(decimal.digits.size()) + 1;
    const std::string text = decimal.digits + 'e' + std::to_string(integerExponent);
    return std::strtod(text.c_str(), nullptr) == number;
}

// The next decimal up with as many significant digits ("1.29" after "1.28", "10.0" after "9.99").
Decimal nextUp(Decimal decimal) {
    std::size_t i = decimal.digits.size();
    while (i > 0 && decimal.digits[i - 1] == '9')
        decimal.digits[--i] = '0';
    if (i > 0) {
        ++decimal.digits[i - 1];
    } else {
        decimal.digits.insert(decimal.digits.begin(), '1');
        decimal.digits.pop_back();
        ++decimal.exponent;
    }
    return decimal;
}

// The shortest decimal that reads back as `number` (finite, positive), the closest to it among
// equally short ones. printf rounds to the nearest decimal of each length; just above a power of
// two the values below lie closer together than those above, so when the nearest one (below) does
// not read back, the one above it may.
Decimal shortestDecimal(double number) {
    std::array<char, 64> buffer{};
    Decimal decimal;
    for (int digits = 1; digits <= kMaxSignificantDigits; ++digits) {
        std::snprintf(buffer.data(), buffer.size(), "%.*e", digits - 1, number);
        decimal = parseScientific(buffer.data());
        if (readsBackAs(decimal, number))
            break;
        const Decimal above = nextUp(decimal);
        if (readsBackAs(above, number)) {
            decimal = above;
            break;
        }
    }
    return decimal;
}

std::string scientific(const Decimal& decimal) {
    std::string text(1, decimal.digits.front());
    if (decimal.digits.size() > 1) {
        text += '.';
        text.append(decimal.digits, 1);
    }
    text += decimal.exponent < 0 ? "e-" : "e+";
    const int magnitude = std::abs(decimal.exponent);
    if (magnitude < 10)
        text += '0';
    text += std::to_string(magnitude);
    return text;
}

// Fixed notation. A whole number is written out exactly, as printf's "%.0f" would: past 2^53 its
// digits beyond the shortest ones are not zeros (1.2345678901234568e+20 is
// 123456789012345683968).
std::string fixed(const Decimal& decimal, double number) {
    const int digitCount = static_cast<int>(decimal.digits.size());
    if (decimal.exponent >= digitCount - 1) {
        std::array<char, 32> buffer{};
        std::snprintf(buffer.data(), buffer.size(), "%.0f", number);
        return buffer.data();
    }
    if (decimal.exponent >= 0) {
        const std::size_t pointAt = static_cast<std::size_t>(decimal.exponent) + 1;
        return decimal.digits.substr(0, pointAt) + '.' + decimal.digits.substr(pointAt);
    }
    return "0." + std::string(static_cast<std::size_t>(-decimal.exponent - 1), '0') +
           decimal.digits;
}

// The length of the fixed form, counted from the shortest digits: that is what decides between
// the notations, even where the exact whole number is then written.
std::size_t fixedLength(const Decimal& decimal) {
    const int digitCount = static_cast<int>(decimal.digits.size());
    if (decimal.exponent >= digitCount - 1)
        return static_cast<std::size_t>(decimal.exponent) + 1;
    if (decimal.exponent >= 0)
        return decimal.digits.size() + 1;
    return static_cast<std::size_t>(-decimal.exponent) + 1 + decimal.digits.size();
}

// The sign, then the text of a value that has no digits of its own (NaN, an infinity, a zero).
std::optional<std::string> textWithoutDigits(double number) {
    const std::string sign = std::signbit(number) ? "-" : "";
    if (std::isnan(number))
        return sign + "nan";
    if (std::isinf(number))
        return sign + "inf";
    if (number == 0)
        return sign + "0";
    return std::nullopt;
}

void dropTrailingZeros(Decimal& decimal) {
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0')
        decimal.digits.pop_back();
}

}  // namespace

std::string shortest(double number) {
    if (auto text = textWithoutDigits(number))
        return *text;
    const std::string sign = number < 0 ? "-" : "";
    const double magnitude = std::fabs(number);
    Decimal decimal = shortestDecimal(magnitude);
    dropTrailingZeros(decimal);
    const std::string inScientific = scientific(decimal);
    if (fixedLength(decimal) <= inScientific.size())
        return sign + fixed(decimal, magnitude);
    return sign + inScientific;
}

std::string withSignificantDigits(double number, int significantDigits) {
    if (auto text = textWithoutDigits(number))
        return *text;
    const std::string sign = number < 0 ? "-" : "";
    const double magnitude = std::fabs(number);
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.*e", significantDigits - 1, magnitude);
    Decimal decimal = parseScientific(buffer.data());
    dropTrailingZeros(decimal);
    // %g chooses by the exponent after rounding: fixed notation from 1e-4 up to the precision.
    if (decimal.exponent < -4 || decimal.exponent >= significantDigits)
        return sign + scientific(decimal);
    return sign + fixed(decimal, magnitude);
}

}  // namespace number_text
