// What every object of the simulated platform shares: the scenario, the main queue that carries
// its deliveries, the call log, and the count of buffers appended to recognition requests.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/platform.h"
#include "platform/sim/call_log.h"
#include "platform/sim/scenario.h"

namespace voicepipe::platform::sim {

struct SimContext {
    SimContext(Scenario scenario, std::unique_ptr<CallLog> log, MainQueue& mainQueue)
        : scenario(std::move(scenario)), log(std::move(log)), mainQueue(mainQueue) {}

    const Scenario scenario;
    const std::unique_ptr<CallLog> log;
    MainQueue& mainQueue;
    std::atomic<std::uint64_t> appendedBuffers{0};
};

}  // namespace voicepipe::platform::sim
