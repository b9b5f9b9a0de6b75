// Text from other applications made safe to print in a report meant for a terminal.
#pragma once

#include <string>
#include <string_view>

namespace fieldpilot {

// `text` with every control character written as an escape: "\n", "\r", "\t", "\\" for the
// backslash itself, "\xHH" for the other C0 controls, DEL and bytes that are not UTF-8, and
// "\u{HHHH}" for the C1 controls and the line and paragraph separators. No application can then
// start a line of its own in the report or send an escape sequence to the terminal.
std::string escapedForReport(std::string_view text);

}  // namespace fieldpilot
