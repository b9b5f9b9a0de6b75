#include "platform/sim/delayed_calls.h"

#include <chrono>
#include <utility>

#include "platform/linux/blocked_thread.h"

namespace voicepipe::platform::sim {

DelayedCalls::~DelayedCalls() {
    std::unique_lock lock(waiting_->mutex);
    waiting_->cancelling = true;
    waiting_->changed.notify_all();
    waiting_->changed.wait(lock, [this] { return waiting_->unfinished == 0; });
}

void DelayedCalls::callAfter(Micros delay, Work call) {
    const auto due = std::chrono::steady_clock::now() + delay;
    {
        std::lock_guard lock(waiting_->mutex);
        ++waiting_->unfinished;
    }
    try {
        startWaiting(due, std::move(call));
    } catch (...) {
        // No thread will count this call off, and the destructor waits for that.
        std::lock_guard lock(waiting_->mutex);
        --waiting_->unfinished;
        throw;
    }
}

void DelayedCalls::startWaiting(std::chrono::steady_clock::time_point due, Work call) {
    linux_backend::startThreadBlocking(
        linux_backend::backgroundThreadSignals(),
        [waiting = waiting_, due, call = std::move(call)]() mutable {
            std::unique_lock lock(waiting->mutex);
            if (!waiting->changed.wait_until(lock, due, [&] { return waiting->cancelling; })) {
                lock.unlock();
                call();
                // Whatever the call holds goes before the owner may return from its destructor.
                call = nullptr;
                lock.lock();
            }
            --waiting->unfinished;
            waiting->changed.notify_all();
        })
        .detach();
}

}  // namespace voicepipe::platform::sim
