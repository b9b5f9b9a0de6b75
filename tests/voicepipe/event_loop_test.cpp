// The Linux main queue: ordering of work and timers on a manual clock, wake-ups and signals on the
// real one.
#include "platform/linux/event_loop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/loop_clock.h"

namespace voicepipe::platform::linux_backend {
namespace {

using namespace std::chrono_literals;
using testing::ManualClock;

// Long enough never to decide a passing run; it only keeps a broken loop from hanging the suite.
constexpr Micros kGiveUpAfter = 10s;

class EventLoopOrder : public ::testing::Test {
  protected:
    void record(const std::string& what) { ran.push_back(what); }
    Work recorder(std::string what) {
        return [this, what] { record(what); };
    }

    ManualClock clock;
    EventLoop loop{clock.reader()};
    std::vector<std::string> ran;
};

TEST_F(EventLoopOrder, SubmittedWorkRunsOnlyWhenServedAndInSubmissionOrder) {
    loop.async(recorder("a"));
    loop.async(recorder("b"));
    loop.async([this] {
        record("c");
        loop.async(recorder("submitted by c"));
    });
    loop.async(recorder("d"));
    EXPECT_TRUE(ran.empty());

    EXPECT_EQ(loop.runDue(), 5u);

    EXPECT_EQ(ran, (std::vector<std::string>{"a", "b", "c", "d", "submitted by c"}));
    EXPECT_EQ(loop.runDue(), 0u);
}

TEST_F(EventLoopOrder, DelayedWorkRunsAtItsDeadlineInDeadlineOrder) {
    loop.after(30ms, recorder("30 ms"));
    loop.after(10ms, recorder("10 ms"));
    loop.after(10ms, recorder("10 ms, second"));
    loop.after(-5ms, recorder("negative delay"));

    loop.runDue();
    EXPECT_EQ(ran, (std::vector<std::string>{"negative delay"}));

    clock.advanceTo(9'999us);
    loop.runDue();
    EXPECT_EQ(ran.size(), 1u);

    clock.advanceTo(10ms);
    loop.runDue();
    clock.advanceTo(1s);
    loop.runDue();
    EXPECT_EQ(ran, (std::vector<std::string>{"negative delay", "10 ms", "10 ms, second", "30 ms"}));
}

TEST_F(EventLoopOrder, TimersTakeTheirTurnAmongSubmittedWorkByTheTimeTheyBecameDue) {
    loop.after(10ms, recorder("timer due at 10 ms"));
    clock.advanceTo(5ms);
    loop.async(recorder("submitted at 5 ms"));
    clock.advanceTo(20ms);
    loop.async(recorder("submitted at 20 ms"));

    loop.runDue();

    EXPECT_EQ(ran, (std::vector<std::string>{"submitted at 5 ms", "timer due at 10 ms",
                                             "submitted at 20 ms"}));
}

TEST_F(EventLoopOrder, RepeatingTimerKeepsItsCadenceAndCollapsesMissedTicks) {
    std::vector<Micros> ticks;
    loop.repeating(200ms, [&] {
        ticks.push_back(clock.now());
        clock.advanceBy(30ms);  // the tick takes its time; the next one stays on the cadence
    });

    for (const Micros time : {199ms, 200ms, 399ms, 400ms, 1'050ms, 1'199ms, 1'200ms}) {
        clock.advanceTo(time);
        loop.runDue();
    }

    EXPECT_EQ(ticks, (std::vector<Micros>{200ms, 400ms, 1'050ms, 1'200ms}))
        << "first one interval after scheduling, then on the cadence; the ticks missed between "
           "400 ms and 1050 ms come as one";
}

TEST(EventLoopWaiting, SubmissionsFromOtherThreadsWakeTheLoopAndKeepEachThreadsOrder) {
    constexpr int kThreads = 4;
    constexpr int kEach = 500;
    EventLoop loop;
    std::vector<std::vector<int>> seen(kThreads);
    int total = 0;

    std::vector<std::thread> submitters;
    for (int thread = 0; thread < kThreads; ++thread) {
        submitters.emplace_back([&, thread] {
            for (int i = 0; i < kEach; ++i) {
                loop.async([&, thread, i] {
                    seen[thread].push_back(i);
                    ++total;
                });
            }
        });
    }
    const auto giveUp = std::chrono::steady_clock::now() + kGiveUpAfter;
    while (total < kThreads * kEach && std::chrono::steady_clock::now() < giveUp) {
        loop.runOnce(kGiveUpAfter);
    }
    for (auto& submitter : submitters) {
        submitter.join();
    }

    ASSERT_EQ(total, kThreads * kEach);
    for (const auto& one : seen) {
        for (int i = 0; i < kEach; ++i) {
            ASSERT_EQ(one[i], i);
        }
    }
}

TEST(EventLoopWaiting, WaitingTurnSleepsUntilTheNextTimerAndRunsIt) {
    EventLoop loop;
    bool fired = false;
    loop.after(2ms, [&] { fired = true; });

    const auto giveUp = std::chrono::steady_clock::now() + kGiveUpAfter;
    while (!fired && std::chrono::steady_clock::now() < giveUp) {
        loop.runOnce(std::nullopt);
    }

    EXPECT_TRUE(fired);
}

// Each signal test uses a signal of its own: a signal stays blocked in the test process once a
// loop has watched it.
class EventLoopSignals : public ::testing::Test {
  protected:
    static void ignore(int signal) { std::signal(signal, SIG_IGN); }

    EventLoop loop;
};

TEST_F(EventLoopSignals, IgnoredSignalRaisedInTheProcessReachesItsHandlersOnce) {
    ignore(SIGUSR1);
    std::vector<std::string> ran;
    loop.onSignal(SIGUSR1, [&] { ran.push_back("first source"); });
    loop.onSignal(SIGUSR1, [&] { ran.push_back("second source"); });

    raise(SIGUSR1);
    loop.runDue();
    loop.runDue();

    EXPECT_EQ(ran, (std::vector<std::string>{"first source", "second source"}));
}

TEST_F(EventLoopSignals, SignalSentToTheProcessFromAnotherThreadIsNotLost) {
    const int signal = SIGRTMIN + 3;
    ignore(signal);
    int handled = 0;
    loop.onSignal(signal, [&] { ++handled; });

    // Started after the source, the thread inherits the block and cannot take the signal itself.
    std::thread([signal] { kill(getpid(), signal); }).join();
    loop.runDue();

    EXPECT_EQ(handled, 1);
}

TEST_F(EventLoopSignals, SignalWakesASleepingLoop) {
    const int signal = SIGRTMIN + 5;
    ignore(signal);
    bool handled = false;
    loop.onSignal(signal, [&] { handled = true; });

    std::thread sender([signal] { kill(getpid(), signal); });
    const auto giveUp = std::chrono::steady_clock::now() + kGiveUpAfter;
    while (!handled && std::chrono::steady_clock::now() < giveUp) {
        loop.runOnce(std::nullopt);
    }
    sender.join();

    EXPECT_TRUE(handled);
}

}  // namespace
}  // namespace voicepipe::platform::linux_backend
