#include "platform/linux/event_loop.h"

#include <poll.h>
#include <time.h>

#include <algorithm>
#include <utility>

namespace voicepipe::platform::linux_backend {

namespace {

// Sleeps until one of the descriptors is readable or `timeout` has passed (none: no time limit).
void waitForEither(int firstFd, int secondFd, std::optional<Micros> timeout) {
    pollfd fds[] = {{firstFd, POLLIN, 0}, {secondFd, POLLIN, 0}};
    timespec limit{};
    if (timeout) {
        const auto micros = std::max(timeout->count(), Micros::rep{0});
        limit.tv_sec = static_cast<time_t>(micros / 1'000'000);
        limit.tv_nsec = static_cast<long>(micros % 1'000'000 * 1000);
    }
    // An interruption only means an early look at the schedule.
    ppoll(fds, 2, timeout ? &limit : nullptr, nullptr);
}

}  // namespace

Micros monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return Micros{static_cast<Micros::rep>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000};
}

EventLoop::EventLoop(Clock clock) : clock_(std::move(clock)) {}

void EventLoop::async(Work work) {
    {
        std::lock_guard lock(mutex_);
        schedule_.submit(clock_(), std::move(work));
    }
    wakeFd_.wake();
}

void EventLoop::after(Micros delay, Work work) {
    {
        std::lock_guard lock(mutex_);
        schedule_.scheduleOnce(clock_() + std::max(delay, Micros{0}), std::move(work));
    }
    wakeFd_.wake();
}

void EventLoop::repeating(Micros interval, Work tick) {
    {
        std::lock_guard lock(mutex_);
        schedule_.scheduleRepeating(clock_() + interval, interval, std::move(tick));
    }
    wakeFd_.wake();
}

void EventLoop::onSignal(int signal, Work handler) {
    std::lock_guard lock(mutex_);
    signalHandlers_[signal].push_back(std::make_shared<Work>(std::move(handler)));
    signals_.watch(signal);
}

void EventLoop::serve() {
    for (;;) {
        runOnce(std::nullopt);
    }
}

std::size_t EventLoop::runDue() {
    // Drained before the schedule is read, so that a submission racing with this turn leaves the
    // descriptor readable for the next one.
    wakeFd_.drain();
    std::size_t ran = 0;
    while (auto work = takeNext()) {
        (*work)();
        ++ran;
    }
    return ran;
}

std::size_t EventLoop::runOnce(std::optional<Micros> limit) {
    auto sleep = idleTime();
    if (limit && (!sleep || *limit < *sleep)) {
        sleep = limit;
    }
    if (!sleep || *sleep > Micros{0}) {
        waitForEither(wakeFd_.fd(), signals_.fd(), sleep);
    }
    return runDue();
}

std::optional<Work> EventLoop::takeNext() {
    // The descriptor is read under the lock that onSignal() changes its signals under.
    std::lock_guard lock(mutex_);
    const Micros now = clock_();
    for (int signal : signals_.readPending()) {
        for (const auto& handler : signalHandlers_.at(signal)) {
            schedule_.submit(now, [handler] { (*handler)(); });
        }
    }
    return schedule_.takeNext(now);
}

std::optional<Micros> EventLoop::idleTime() {
    std::lock_guard lock(mutex_);
    if (schedule_.hasSubmitted()) {
        return Micros{0};
    }
    const auto deadline = schedule_.nextDeadline();
    if (!deadline) {
        return std::nullopt;
    }
    return std::max(*deadline - clock_(), Micros{0});
}

}  // namespace voicepipe::platform::linux_backend

namespace voicepipe::platform {

std::unique_ptr<MainQueue> openMainQueue() {
    return std::make_unique<linux_backend::EventLoop>();
}

}  // namespace voicepipe::platform
