// Integer operands of the command line. An operand is valid when the whole text is an optional
// "+" or "-" followed by one or more ASCII digits, and the value fits its type.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "command.h"

namespace fieldpilot {

std::optional<std::int32_t> parsePid(std::string_view operand);
std::optional<std::uint32_t> parseWindowId(std::string_view operand);
std::optional<std::int64_t> parseBudget(std::string_view operand);

// The operand at argument element `index`, when there is one.
std::optional<std::string_view> operand(const Args& args, std::size_t index);

}  // namespace fieldpilot
