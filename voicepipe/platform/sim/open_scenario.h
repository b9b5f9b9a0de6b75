// The simulated dictation platform of a scenario file.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace voicepipe::platform::sim {

// The services that the scenario at `path` describes, delivering through `mainQueue`. When the
// scenario or its log file cannot be opened, this writes one line naming the problem on standard
// error and returns null.
std::unique_ptr<Dictation> openScenario(const std::string& path, MainQueue& mainQueue);

}  // namespace voicepipe::platform::sim
