// Process entry logic: the trust gate and the command table.
#pragma once

#include <string>

#include "command.h"

namespace fieldpilot {

// The command word: element 1 of the arguments, "focused" when there is none.
std::string command(const Args& args);

// Applies the trust gate, then runs the command that the arguments name.
Ending dispatch(Context& context);

}  // namespace fieldpilot
