// Signals read from a file descriptor instead of delivered to handlers.
//
// Linux discards a signal whose disposition is "ignore" unless the receiving thread blocks it, so
// every watched signal is blocked in the thread that starts watching it (threads started later
// inherit that mask) and waits, pending, until the descriptor reads it. A pending signal is read
// once; instances of a standard signal that arrive before the read coalesce, as they do for every
// signal handler.
#pragma once

#include <csignal>
#include <vector>

namespace voicepipe::platform::linux_backend {

class SignalFd {
  public:
    SignalFd();
    ~SignalFd();
    SignalFd(const SignalFd&) = delete;
    SignalFd& operator=(const SignalFd&) = delete;

    // Blocks `signal` in the calling thread and adds it to the signals the descriptor reads.
    void watch(int signal);
    // The signals pending now, in the order they are read; never blocks.
    std::vector<int> readPending();
    int fd() const { return fd_; }

  private:
    int fd_;
    sigset_t watched_;
};

}  // namespace voicepipe::platform::linux_backend
