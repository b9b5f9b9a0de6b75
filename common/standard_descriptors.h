// The standard descriptors as the host hands them over, whatever it made of them: closed,
// non-blocking, a directory, a pipe whose reader has gone. Whole reads and writes on them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace descriptors {

// Opens /dev/null on each of descriptors 0 to 2 that is not open, so that no descriptor the program
// opens later (a desktop file, a display connection, an event loop's wake-up counter) takes a
// standard stream's number and is read or written as one. Call it first thing; descriptors are
// inherited, so a relaunched copy finds them open too. Returns whether standard input was open.
bool openMissingStandardDescriptors();

// Every byte up to the end of input. A descriptor that would block is waited on; an interrupted
// read is retried. nullopt when a read fails (a closed descriptor, a directory, an I/O error).
std::optional<std::string> readToEnd(int descriptor);

// Writes all of `bytes`, waiting while the descriptor would block. False when it cannot: the
// reader has gone or the descriptor fails.
bool writeAll(int descriptor, std::string_view bytes);

}  // namespace descriptors
