// Reading a desktop file into the state of a simulated desktop.
#pragma once

#include <memory>
#include <string_view>

#include "platform/sim/sim_state.h"

namespace fieldpilot::sim {

// Throws LoadError naming the problem (where in the file, and what is wrong) on bad input.
std::unique_ptr<DesktopState> loadDesktopState(std::string_view jsonText);

}  // namespace fieldpilot::sim
