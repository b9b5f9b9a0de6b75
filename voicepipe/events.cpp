#include "events.h"

#include <string>

#include "standard_descriptors.h"

namespace voicepipe {

void emit(std::FILE* stream, const json::Object& event) {
    std::string line = json::serialize(event);
    line += '\n';
    // The stream's lock is held for the whole line, so lines from different threads never
    // interleave.
    flockfile(stream);
    const int fd = fileno(stream);
    if (fd >= 0) {
        // Past the stream's buffer: stdio drops what a non-blocking descriptor refuses.
        std::fflush(stream);
        descriptors::writeAll(fd, line);
    } else {
        std::fwrite(line.data(), 1, line.size(), stream);
        std::fflush(stream);
    }
    funlockfile(stream);
}

}  // namespace voicepipe
