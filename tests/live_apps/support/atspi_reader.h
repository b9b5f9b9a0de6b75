// What an application's accessibility tree says, read by the tests themselves over AT-SPI (not
// through fieldpilot): the text of the editable element that has the keyboard focus.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace live_apps {

// The text of the first editable, focusable element of the application that has the focused
// state, in breadth-first order; none when there is no such element.
std::optional<std::string> focusedEditableText(pid_t pid);

}  // namespace live_apps
