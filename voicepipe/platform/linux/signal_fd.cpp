#include "platform/linux/signal_fd.h"

#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace voicepipe::platform::linux_backend {

namespace {

[[noreturn]] void fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

SignalFd::SignalFd() {
    sigemptyset(&watched_);
    fd_ = signalfd(-1, &watched_, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) {
        fail("signalfd");
    }
}

SignalFd::~SignalFd() {
    close(fd_);
}

void SignalFd::watch(int signal) {
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, signal);
    // Blocked first: from here on the signal stays pending until the descriptor reads it.
    pthread_sigmask(SIG_BLOCK, &one, nullptr);
    sigaddset(&watched_, signal);
    if (signalfd(fd_, &watched_, 0) < 0) {
        fail("signalfd");
    }
}

std::vector<int> SignalFd::readPending() {
    std::vector<int> signals;
    signalfd_siginfo info;
    while (read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        signals.push_back(static_cast<int>(info.ssi_signo));
    }
    return signals;
}

}  // namespace voicepipe::platform::linux_backend
