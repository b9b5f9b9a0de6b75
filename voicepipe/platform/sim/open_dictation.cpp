// The dictation services of a Linux build: the scenario named by VOICEPIPE_SCENARIO, or, when it
// names none, services without a recogniser.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <variant>

#include "platform/platform.h"
#include "platform/sim/call_log.h"
#include "platform/sim/scenario.h"
#include "platform/sim/sim_dictation.h"

namespace voicepipe::platform {

namespace {

constexpr const char* kScenarioVariable = "VOICEPIPE_SCENARIO";

std::unique_ptr<Dictation> refuse(const std::string& problem) {
    std::fprintf(stderr, "voicepipe: %s\n", problem.c_str());
    return nullptr;
}

}  // namespace

std::unique_ptr<Dictation> openDictation(MainQueue& mainQueue) {
    const char* path = std::getenv(kScenarioVariable);
    // An empty value counts as unset, the way a shell clears a variable for one command.
    if (path == nullptr || *path == '\0') {
        return std::make_unique<sim::SimDictation>(sim::Scenario::withoutRecognizers(),
                                                   std::make_unique<sim::CallLog>(), mainQueue);
    }
    auto loaded = sim::loadScenario(path);
    if (auto* problem = std::get_if<std::string>(&loaded)) {
        return refuse(*problem);
    }
    auto& scenario = std::get<sim::Scenario>(loaded);
    auto log = std::make_unique<sim::CallLog>();
    if (scenario.logFile) {
        auto opened = sim::CallLog::appendingTo(*scenario.logFile);
        if (auto* problem = std::get_if<std::string>(&opened)) {
            return refuse("scenario " + std::string(path) + ": " + *problem);
        }
        log = std::move(std::get<std::unique_ptr<sim::CallLog>>(opened));
    }
    return std::make_unique<sim::SimDictation>(std::move(scenario), std::move(log), mainQueue);
}

}  // namespace voicepipe::platform
