#include "standard_descriptors.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace descriptors {

namespace {

constexpr int kStandardDescriptors = 3;

bool isOpen(int descriptor) {
    return ::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF;
}

// Waits until the descriptor is ready for `events`; false when poll itself fails.
bool waitFor(int descriptor, short events) {
    pollfd entry{descriptor, events, 0};
    while (::poll(&entry, 1, -1) < 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}

}  // namespace

bool openMissingStandardDescriptors() {
    const bool inputWasOpen = isOpen(STDIN_FILENO);
    for (int descriptor = 0; descriptor < kStandardDescriptors; ++descriptor) {
        if (isOpen(descriptor))
            continue;
        // open() takes the lowest free number, which is this one: the lower ones are open.
        const int opened = ::open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != descriptor) {
            ::dup2(opened, descriptor);
            ::close(opened);
        }
    }
    return inputWasOpen;
}

std::optional<std::string> readToEnd(int descriptor) {
    std::string bytes;
    char buffer[65536];
    while (true) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count > 0) {
            bytes.append(buffer, static_cast<std::size_t>(count));
        } else if (count == 0) {
            return bytes;
        } else if (wouldBlock(errno)) {
            if (!waitFor(descriptor, POLLIN))
                return std::nullopt;
        } else if (errno != EINTR) {
            return std::nullopt;
        }
    }
}

bool writeAll(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (wouldBlock(errno)) {
            if (!waitFor(descriptor, POLLOUT))
                return false;
        } else if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

}  // namespace descriptors
