// The event lines of voicepipe: one compact JSON object per line on standard output, each
// reaching the host at once.
#pragma once

#include <cstdio>

#include "json.h"

namespace voicepipe {

// Writes the object and a line feed as one whole line, then flushes; on a non-blocking stream it
// waits until the host has taken the line. Callable from any thread: the capture thread's "level"
// lines and the main queue's lines never interleave. Other write errors drop the line (a closed
// pipe ends the process through SIGPIPE).
void emit(std::FILE* stream, const json::Object& event);

}  // namespace voicepipe
