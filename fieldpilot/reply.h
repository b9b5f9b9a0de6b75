// What a run writes on standard output: one JSON reply line, or the dump report.
#pragma once

#include <string_view>

#include "command.h"
#include "json.h"

namespace fieldpilot {

// Writes the reply as one compact JSON line. The line feed is a second write; both go straight
// to the standard output descriptor, so nothing waits in a buffer when the process exits. A
// descriptor that would block is waited on. False when the line could not be written whole.
bool emit(const json::Object& reply);

// Writes what the ending holds: its reply through emit, its report followed by one line feed,
// or nothing for a silent failure. False when what it holds could not be written whole.
bool writeEnding(const Ending& ending);

}  // namespace fieldpilot
