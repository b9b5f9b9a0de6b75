// Whole reads and writes on the standard descriptors, whatever the host made of them: closed,
// non-blocking, a directory, a pipe whose reader has gone.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fieldpilot::streams {

// Opens /dev/null on each of descriptors 0 to 2 that is not open, so that no descriptor the run
// opens later (the desktop file, a display connection) takes a standard stream's number. Call it
// first thing. Returns whether standard input was open.
bool openMissingStandardDescriptors();

// Every byte up to the end of input. A descriptor that would block is waited on; an interrupted
// read is retried. nullopt when a read fails (a closed descriptor, a directory, an I/O error).
std::optional<std::string> readToEnd(int descriptor);

// Writes all of `bytes`, waiting while the descriptor would block. False when it cannot: the
// reader has gone or the descriptor fails.
bool writeAll(int descriptor, std::string_view bytes);

}  // namespace fieldpilot::streams
