// The desktop file a simulated desktop saves: the loaded file with the current state of the
// applications, elements, frontmost application and clipboard, and this run's log appended.
#pragma once

#include <string>

#include "platform/sim/sim_state.h"

namespace fieldpilot::sim {

OrderedJson savedDocument(const DesktopState& state);

// The text of the saved desktop file: each top-level key on a line of its own, and inside each
// top-level array or object one entry per line (an app, an element, a log entry), so that the
// files of two runs compare line by line. Text that is not valid UTF-8 is saved with U+FFFD in
// its place. Written from the records without copying them into a document first.
std::string savedDesktopText(const DesktopState& state);

}  // namespace fieldpilot::sim
