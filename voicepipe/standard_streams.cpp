#include "standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace voicepipe {

void openMissingStandardStreams() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number is `fd` itself, since the ones below it are open by now.
        const int opened = open("/dev/null", O_RDWR);
        if (opened != fd) {
            if (opened >= 0)
                close(opened);
            return;
        }
    }
}

}  // namespace voicepipe
