// The dictation services of a Linux build: the scenario named by VOICEPIPE_SCENARIO, or, when it
// names none, the live ones of the desktop.
#include <cstdlib>
#include <memory>

#include "platform/platform.h"
#include "platform/pulse_sphinx/live_dictation.h"
#include "platform/sim/open_scenario.h"

namespace voicepipe::platform {

namespace {

constexpr const char* kScenarioVariable = "VOICEPIPE_SCENARIO";

}  // namespace

std::unique_ptr<Dictation> openDictation(MainQueue& mainQueue) {
    const char* path = std::getenv(kScenarioVariable);
    // An empty value counts as unset, the way a shell clears a variable for one command.
    if (path == nullptr || *path == '\0') {
        return std::make_unique<pulse_sphinx::LiveDictation>(
            mainQueue, [](const char* name) { return std::getenv(name); });
    }
    return sim::openScenario(path, mainQueue);
}

}  // namespace voicepipe::platform
