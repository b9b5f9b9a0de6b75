// fieldpilot's integer operands against a reference written from their rule: the whole text is an
// optional "+" or "-" and one or more ASCII digits, and the value fits the operand's type.
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "operands.h"
#include "support/fuzz_check.h"

namespace {

template <typename Integer>
std::optional<Integer> referenceValue(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    // Wide enough for every magnitude that can fit; larger ones stop growing there.
    constexpr __int128 kBeyondEveryType = static_cast<__int128>(1) << 65;
    __int128 magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        if (magnitude < kBeyondEveryType)
            magnitude = magnitude * 10 + (c - '0');
    }
    const __int128 value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<Integer>::min() || value > std::numeric_limits<Integer>::max())
        return std::nullopt;
    return static_cast<Integer>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    fuzz::require(fieldpilot::parsePid(text) == referenceValue<std::int32_t>(text),
                  "a pid is read by the rule");
    fuzz::require(fieldpilot::parseWindowId(text) == referenceValue<std::uint32_t>(text),
                  "a window id is read by the rule");
    fuzz::require(fieldpilot::parseBudget(text) == referenceValue<std::int64_t>(text),
                  "a budget is read by the rule");
    return 0;
}
