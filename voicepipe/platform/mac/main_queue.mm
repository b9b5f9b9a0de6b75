// The main dispatch queue behind the seam, and the signal sources of both queues.
#include <dispatch/dispatch.h>
#include <mach/mach_time.h>
#include <sys/qos.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace voicepipe::platform {
namespace {

constexpr std::int64_t kNanosecondsPerMicrosecond = 1000;
// Lets the system coalesce the timer's wake-ups; small beside the 0.2 s and 0.5 s ticks.
constexpr std::uint64_t kTimerLeewayNanoseconds = 1'000'000;

std::int64_t nanoseconds(Micros duration) {
    return std::max<std::int64_t>(duration.count(), 0) * kNanosecondsPerMicrosecond;
}

// Libdispatch learns of signals through kqueue, which reports a signal even while its disposition
// is "ignore"; that is how the callers keep the default action from ending the process.
dispatch_source_t resumedSignalSource(int signal, dispatch_queue_t queue, Work handler) {
    dispatch_source_t source = dispatch_source_create(DISPATCH_SOURCE_TYPE_SIGNAL,
                                                      static_cast<uintptr_t>(signal), 0, queue);
    dispatch_source_set_event_handler(source, ^{
      handler();
    });
    dispatch_resume(source);
    return source;
}

class MacMainQueue final : public MainQueue {
  public:
    void async(Work work) override {
        dispatch_async(dispatch_get_main_queue(), ^{
          work();
        });
    }

    void after(Micros delay, Work work) override {
        dispatch_after(dispatch_time(DISPATCH_TIME_NOW, nanoseconds(delay)),
                       dispatch_get_main_queue(), ^{
                         work();
                       });
    }

    // A timer source rather than NSTimer: the process serves the main queue and runs no run loop.
    void repeating(Micros interval, Work tick) override {
        dispatch_source_t timer =
            dispatch_source_create(DISPATCH_SOURCE_TYPE_TIMER, 0, 0, dispatch_get_main_queue());
        const std::int64_t step = nanoseconds(interval);
        dispatch_source_set_timer(timer, dispatch_time(DISPATCH_TIME_NOW, step),
                                  static_cast<std::uint64_t>(step), kTimerLeewayNanoseconds);
        dispatch_source_set_event_handler(timer, ^{
          tick();
        });
        dispatch_resume(timer);
        sources_.push_back(timer);
    }

    void onSignal(int signal, Work handler) override {
        sources_.push_back(
            resumedSignalSource(signal, dispatch_get_main_queue(), std::move(handler)));
    }

    [[noreturn]] void serve() override { dispatch_main(); }

    // mach_absolute_time is the clock that dispatch_time(DISPATCH_TIME_NOW, ...) counts in, so
    // the queue's delays and this clock agree (neither advances while the Mac sleeps).
    Micros now() override {
        static const mach_timebase_info_data_t timebase = [] {
            mach_timebase_info_data_t info{};
            mach_timebase_info(&info);
            return info;
        }();
        const std::uint64_t ticks = mach_absolute_time();
        const std::uint64_t nanos = ticks / timebase.denom * timebase.numer +
                                    ticks % timebase.denom * timebase.numer / timebase.denom;
        return std::chrono::duration_cast<Micros>(std::chrono::nanoseconds(nanos));
    }

  private:
    // Releasing a source would end it, so the queue keeps every one for its own life.
    std::vector<dispatch_source_t> sources_;
};

}  // namespace

std::unique_ptr<MainQueue> openMainQueue() {
    return std::make_unique<MacMainQueue>();
}

}  // namespace voicepipe::platform
