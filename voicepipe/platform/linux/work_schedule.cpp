#include "platform/linux/work_schedule.h"

#include <algorithm>
#include <utility>

namespace voicepipe::platform::linux_backend {

namespace {

// A repeating timer with a zero or negative interval would be due again at once, for ever.
constexpr Micros kShortestInterval{1};

}  // namespace

void WorkSchedule::submit(Micros at, Work work) {
    submitted_.push_back({at, nextSequence_++, std::move(work)});
}

void WorkSchedule::scheduleOnce(Micros deadline, Work work) {
    timers_.push({deadline, nextSequence_++, Micros{0}, std::make_shared<Work>(std::move(work))});
}

void WorkSchedule::scheduleRepeating(Micros firstDeadline, Micros interval, Work tick) {
    timers_.push({firstDeadline, nextSequence_++, std::max(interval, kShortestInterval),
                  std::make_shared<Work>(std::move(tick))});
}

std::optional<Work> WorkSchedule::takeNext(Micros now) {
    const bool timerDue = !timers_.empty() && timers_.top().deadline <= now;
    if (!timerDue && submitted_.empty()) {
        return std::nullopt;
    }
    const bool timerFirst =
        timerDue && (submitted_.empty() || timers_.top().deadline < submitted_.front().at ||
                     (timers_.top().deadline == submitted_.front().at &&
                      timers_.top().sequence < submitted_.front().sequence));
    if (timerFirst) {
        Timer timer = timers_.top();
        timers_.pop();
        return fire(std::move(timer), now);
    }
    Work work = std::move(submitted_.front().work);
    submitted_.pop_front();
    return work;
}

std::optional<Micros> WorkSchedule::nextDeadline() const {
    if (timers_.empty()) {
        return std::nullopt;
    }
    return timers_.top().deadline;
}

Work WorkSchedule::fire(Timer timer, Micros now) {
    if (timer.interval == Micros{0}) {
        return [work = std::move(timer.work)] { (*work)(); };
    }
    // The next firing stays on the cadence of the first one: the first multiple of the interval
    // that lies after now.
    const auto missed = (now - timer.deadline) / timer.interval;
    Timer next = timer;
    next.deadline = timer.deadline + timer.interval * (missed + 1);
    next.sequence = nextSequence_++;
    timers_.push(next);
    return [work = std::move(timer.work)] { (*work)(); };
}

}  // namespace voicepipe::platform::linux_backend
