// Calls made after a real-time delay from threads of their own, as the platform's permission
// prompts answer: never on the main thread, and never before the caller has returned.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/platform.h"

namespace voicepipe::platform::sim {

class DelayedCalls {
  public:
    DelayedCalls() = default;
    // Drops the calls still waiting and waits for those under way.
    ~DelayedCalls();
    DelayedCalls(const DelayedCalls&) = delete;
    DelayedCalls& operator=(const DelayedCalls&) = delete;

    void callAfter(Micros delay, Work call);

  private:
    // Starts the thread that makes the call at `due` unless the calls are dropped first.
    void startWaiting(std::chrono::steady_clock::time_point due, Work call);

    // Shared with the threads, which are detached: the process may end with any of them still
    // waiting, and one that has answered must not count as a thread left unjoined.
    struct Waiting {
        std::mutex mutex;
        std::condition_variable changed;
        bool cancelling = false;
        int unfinished = 0;
    };

    std::shared_ptr<Waiting> waiting_ = std::make_shared<Waiting>();
};

}  // namespace voicepipe::platform::sim
