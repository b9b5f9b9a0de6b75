// A main queue on a virtual clock: work runs only when the test advances time, in due order, one
// block at a time, so a 90-second session takes microseconds and its timing is exact.
#pragma once

#include <map>
#include <mutex>
#include <utility>

#include "platform/platform.h"

namespace voicepipe::testing {

using platform::Micros;

class VirtualQueue : public platform::MainQueue {
  public:
    void async(platform::Work work) override { after(Micros{0}, std::move(work)); }
    void after(Micros delay, platform::Work work) override;
    void repeating(Micros interval, platform::Work tick) override;
    void onSignal(int signal, platform::Work handler) override;
    // Tests drive the queue with runFor(); nothing may hand a thread to it.
    [[noreturn]] void serve() override;
    Micros now() override;

    // Runs everything due up to now + duration, then stands at that time.
    void runFor(Micros duration);
    // Runs the handlers of the signal's sources as the queue would on its arrival.
    void deliverSignal(int signal);
    // The process has ended: nothing runs any more.
    void halt();

  private:
    struct Entry {
        platform::Work work;
        Micros interval{0};  // 0: runs once
    };
    std::mutex mutex_;
    Micros now_{0};
    bool halted_ = false;
    std::multimap<Micros, Entry> due_;  // equal times keep their submission order
    std::multimap<int, platform::Work> signalHandlers_;
};

}  // namespace voicepipe::testing
