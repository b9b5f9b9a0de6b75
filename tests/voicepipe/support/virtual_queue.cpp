#include "support/virtual_queue.h"

#include <cstdlib>

namespace voicepipe::testing {

void VirtualQueue::after(Micros delay, platform::Work work) {
    std::lock_guard lock(mutex_);
    due_.emplace(now_ + delay, Entry{std::move(work), Micros{0}});
}

void VirtualQueue::repeating(Micros interval, platform::Work tick) {
    std::lock_guard lock(mutex_);
    due_.emplace(now_ + interval, Entry{std::move(tick), interval});
}

void VirtualQueue::onSignal(int signal, platform::Work handler) {
    std::lock_guard lock(mutex_);
    signalHandlers_.emplace(signal, std::move(handler));
}

void VirtualQueue::serve() {
    std::abort();
}

Micros VirtualQueue::now() {
    std::lock_guard lock(mutex_);
    return now_;
}

void VirtualQueue::runFor(Micros duration) {
    std::unique_lock lock(mutex_);
    const Micros until = now_ + duration;
    while (!halted_ && !due_.empty() && due_.begin()->first <= until) {
        auto [time, entry] = std::move(*due_.begin());
        due_.erase(due_.begin());
        now_ = time;
        if (entry.interval > Micros{0})
            due_.emplace(time + entry.interval, entry);
        lock.unlock();
        entry.work();
        lock.lock();
    }
    if (!halted_)
        now_ = until;
}

void VirtualQueue::deliverSignal(int signal) {
    std::lock_guard lock(mutex_);
    const auto [first, last] = signalHandlers_.equal_range(signal);
    for (auto handler = first; handler != last; ++handler) {
        due_.emplace(now_, Entry{handler->second, Micros{0}});
    }
}

void VirtualQueue::halt() {
    std::lock_guard lock(mutex_);
    halted_ = true;
}

}  // namespace voicepipe::testing
