// The two read-only reports on the frontmost application: "focused" and "dump".
#pragma once

#include <string>
#include <vector>

#include "command.h"

namespace fieldpilot {

// The bundle identifiers listed after the first "--blind" argument, split at commas, empty
// pieces dropped. Empty when "--blind" is absent or is the last argument.
std::vector<std::string> blindList(const Args& args);

}  // namespace fieldpilot
