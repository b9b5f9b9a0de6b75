#include "platform/linux/wake_fd.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace voicepipe::platform::linux_backend {

WakeFd::WakeFd() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (fd_ < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
}

WakeFd::~WakeFd() {
    close(fd_);
}

void WakeFd::wake() {
    const std::uint64_t one = 1;
    // Only fails when the counter is about to overflow, and then the descriptor is readable anyway.
    [[maybe_unused]] const auto written = write(fd_, &one, sizeof one);
}

void WakeFd::drain() {
    std::uint64_t count;
    [[maybe_unused]] const auto read_ = read(fd_, &count, sizeof count);
}

}  // namespace voicepipe::platform::linux_backend
