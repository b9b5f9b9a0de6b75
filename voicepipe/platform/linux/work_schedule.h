// The order in which the main queue runs its work: submitted blocks and due timers, one at a time,
// each in the order of the moment it became runnable. Holds no lock and reads no clock; the event
// loop supplies both.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <queue>
#include <vector>

#include "platform/platform.h"

namespace voicepipe::platform::linux_backend {

class WorkSchedule {
  public:
    // Work that became runnable at `at` (a submission, a received signal).
    void submit(Micros at, Work work);
    // Work that becomes runnable at `deadline`.
    void scheduleOnce(Micros deadline, Work work);
    // Work that becomes runnable at `firstDeadline` and then every `interval` after it, keeping
    // that cadence however late a firing runs. Firings missed while the loop was busy collapse into
    // one.
    void scheduleRepeating(Micros firstDeadline, Micros interval, Work tick);

    // The earliest runnable work at `now`, removed from the schedule; none when nothing is due.
    std::optional<Work> takeNext(Micros now);
    bool hasSubmitted() const { return !submitted_.empty(); }
    std::optional<Micros> nextDeadline() const;

  private:
    struct Submitted {
        Micros at;
        std::uint64_t sequence;
        Work work;
    };
    struct Timer {
        Micros deadline;
        std::uint64_t sequence;
        Micros interval;  // zero for a one-shot timer
        std::shared_ptr<Work> work;
    };
    struct FiresLater {
        bool operator()(const Timer& a, const Timer& b) const {
            return a.deadline != b.deadline ? a.deadline > b.deadline : a.sequence > b.sequence;
        }
    };

    Work fire(Timer timer, Micros now);

    std::uint64_t nextSequence_ = 0;
    std::deque<Submitted> submitted_;
    std::priority_queue<Timer, std::vector<Timer>, FiresLater> timers_;
};

}  // namespace voicepipe::platform::linux_backend
