// The three standard descriptors, made safe to rely on before anything else opens a descriptor.
#pragma once

namespace voicepipe {

// Opens the null device on each of descriptors 0, 1 and 2 that is not open. Otherwise the first
// descriptors that the program opens for itself would take those numbers: the standard-input
// watcher would read the event loop's wake-up counter and event lines would be written into it.
// A missing standard input then reads as its end; a missing standard output swallows the lines.
// The descriptors are inherited, so a relaunched copy finds them open too.
void openMissingStandardStreams();

}  // namespace voicepipe
