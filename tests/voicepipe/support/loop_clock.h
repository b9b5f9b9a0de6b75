// A clock that moves only when the test moves it, for event loops under test.
#pragma once

#include <atomic>

#include "platform/linux/event_loop.h"

namespace voicepipe::testing {

class ManualClock {
  public:
    platform::Micros now() const { return platform::Micros{micros_.load()}; }
    void advanceTo(platform::Micros time) { micros_.store(time.count()); }
    void advanceBy(platform::Micros step) { micros_.fetch_add(step.count()); }
    platform::linux_backend::Clock reader() {
        return [this] { return now(); };
    }

  private:
    std::atomic<platform::Micros::rep> micros_{0};
};

}  // namespace voicepipe::testing
