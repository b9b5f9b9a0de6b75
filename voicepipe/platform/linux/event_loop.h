// The main queue of the Linux build: an event loop of our own on the main thread.
//
// Work submitted from any thread, timers and watched signals all become entries of one schedule
// and run one at a time, in the order in which they became runnable. Submissions wake the loop
// through an eventfd, signals arrive through a signalfd, and the wait for the next timer is a
// ppoll on both with the timer's remaining time.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/linux/signal_fd.h"
#include "platform/linux/wake_fd.h"
#include "platform/linux/work_schedule.h"
#include "platform/platform.h"

namespace voicepipe::platform::linux_backend {

using Clock = std::function<Micros()>;

// CLOCK_MONOTONIC, in microseconds.
Micros monotonicNow();

class EventLoop final : public MainQueue {
  public:
    // `clock` measures delays and orders the work; it is called from every submitting thread.
    explicit EventLoop(Clock clock = monotonicNow);
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    void async(Work work) override;
    void after(Micros delay, Work work) override;
    void repeating(Micros interval, Work tick) override;
    // Call on the thread that serves the loop, before it starts threads that must not take the
    // signal (they inherit the block).
    void onSignal(int signal, Work handler) override;
    [[noreturn]] void serve() override;
    Micros now() override { return clock_(); }

    // Runs everything that is runnable now, including work that this work submits, and returns
    // how many blocks ran. Never waits.
    std::size_t runDue();
    // Waits until work is runnable or `limit` has passed (no limit: however long it takes), then
    // runs what is due.
    std::size_t runOnce(std::optional<Micros> limit);

  private:
    // Turns pending signals into work, then takes the earliest runnable work.
    std::optional<Work> takeNext();
    // How long the loop may sleep: zero when work is waiting, none when there is nothing to wait
    // for but a wake-up.
    std::optional<Micros> idleTime();

    Clock clock_;
    WakeFd wakeFd_;
    SignalFd signals_;
    std::mutex mutex_;
    WorkSchedule schedule_;
    std::map<int, std::vector<std::shared_ptr<Work>>> signalHandlers_;
};

}  // namespace voicepipe::platform::linux_backend
