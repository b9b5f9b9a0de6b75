#include "events.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace voicepipe {

namespace {

// Writes all of `text`, waiting while a non-blocking descriptor would block. Gives up on any
// other error: nobody is left to read the rest.
void writeWhole(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = write(fd, text.data() + written, text.size() - written);
        if (count >= 0) {
            written += static_cast<std::size_t>(count);
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return;
        pollfd writable{fd, POLLOUT, 0};
        if (poll(&writable, 1, -1) == -1 && errno != EINTR)
            return;
    }
}

}  // namespace

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
        writeWhole(fd, line);
    } else {
        std::fwrite(line.data(), 1, line.size(), stream);
        std::fflush(stream);
    }
    funlockfile(stream);
}

}  // namespace voicepipe
