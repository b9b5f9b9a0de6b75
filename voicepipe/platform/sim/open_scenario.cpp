#include "platform/sim/open_scenario.h"

#include <cstdio>
#include <variant>

#include "platform/sim/call_log.h"
#include "platform/sim/scenario.h"
#include "platform/sim/sim_dictation.h"

namespace voicepipe::platform::sim {

namespace {

std::unique_ptr<Dictation> refuse(const std::string& problem) {
    std::fprintf(stderr, "voicepipe: %s\n", problem.c_str());
    return nullptr;
}

}  // namespace

std::unique_ptr<Dictation> openScenario(const std::string& path, MainQueue& mainQueue) {
    auto loaded = loadScenario(path);
    if (auto* problem = std::get_if<std::string>(&loaded)) {
        return refuse(*problem);
    }
    auto& scenario = std::get<Scenario>(loaded);
    auto log = std::make_unique<CallLog>();
    if (scenario.logFile) {
        auto opened = CallLog::appendingTo(*scenario.logFile);
        if (auto* problem = std::get_if<std::string>(&opened)) {
            return refuse("scenario " + path + ": " + *problem);
        }
        log = std::move(std::get<std::unique_ptr<CallLog>>(opened));
    }
    return std::make_unique<SimDictation>(std::move(scenario), std::move(log), mainQueue);
}

}  // namespace voicepipe::platform::sim
