// Signal sources of the global concurrent queue: one relay thread of ours that waits for the
// watched signals on a signalfd and runs their handlers.
//
// The thread starts with every signal blocked, so it never takes one the ordinary way; each
// watched signal is also blocked in the thread that asks for it (the main thread, blocked in
// waitpid), so that nothing discards it while it is ignored. A signal that arrives while further
// sources are still being added stays pending until the relay reads it.
#include <poll.h>

#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/linux/blocked_thread.h"
#include "platform/linux/signal_fd.h"
#include "platform/platform.h"

namespace voicepipe::platform {

namespace {

using Handlers = std::vector<std::shared_ptr<Work>>;

class SignalRelay {
  public:
    // Never destroyed: the relay thread may still be waiting while the process exits.
    static SignalRelay& instance() {
        static auto* relay = new SignalRelay;
        return *relay;
    }

    void add(int signal, Work handler) {
        std::lock_guard lock(mutex_);
        handlers_[signal].push_back(std::make_shared<Work>(std::move(handler)));
        signals_.watch(signal);
        if (!started_) {
            sigset_t all;
            sigfillset(&all);
            linux_backend::startThreadBlocking(all, [this] { relay(); }).detach();
            started_ = true;
        }
    }

  private:
    [[noreturn]] void relay() {
        for (;;) {
            pollfd readable{signals_.fd(), POLLIN, 0};
            poll(&readable, 1, -1);
            for (const auto& handler : handlersOfPendingSignals()) {
                (*handler)();
            }
        }
    }

    // Read under the lock that add() changes the descriptor's signals under.
    Handlers handlersOfPendingSignals() {
        std::lock_guard lock(mutex_);
        Handlers due;
        for (int signal : signals_.readPending()) {
            const auto& handlers = handlers_[signal];
            due.insert(due.end(), handlers.begin(), handlers.end());
        }
        return due;
    }

    std::mutex mutex_;
    linux_backend::SignalFd signals_;
    std::map<int, Handlers> handlers_;
    bool started_ = false;
};

}  // namespace

void onSignalConcurrently(int signal, Work handler) {
    SignalRelay::instance().add(signal, std::move(handler));
}

}  // namespace voicepipe::platform
