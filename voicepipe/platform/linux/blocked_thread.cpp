#include "platform/linux/blocked_thread.h"

#include <pthread.h>

#include <utility>

namespace voicepipe::platform::linux_backend {

namespace {

class ScopedSignalBlock {
  public:
    explicit ScopedSignalBlock(const sigset_t& blocked) {
        pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
    }
    ~ScopedSignalBlock() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    ScopedSignalBlock(const ScopedSignalBlock&) = delete;
    ScopedSignalBlock& operator=(const ScopedSignalBlock&) = delete;

  private:
    sigset_t previous_;
};

}  // namespace

std::thread startThreadBlocking(const sigset_t& blocked, std::function<void()> body) {
    ScopedSignalBlock block(blocked);
    return std::thread(std::move(body));
}

sigset_t backgroundThreadSignals() {
    sigset_t signals;
    sigfillset(&signals);
    for (int synchronous : {SIGPIPE, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS}) {
        sigdelset(&signals, synchronous);
    }
    return signals;
}

}  // namespace voicepipe::platform::linux_backend
