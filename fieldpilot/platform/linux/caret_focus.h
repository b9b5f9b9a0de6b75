// The focused element of a web page, found by following the caret.
#pragma once

#include <atspi/atspi.h>

#include <optional>

#include "accessibility_session.h"
#include "g_ref.h"

namespace fieldpilot::platform::live {

// The element that holds the focus within the page shown in `window`, reached from the page's
// document down the chain of children that hold the caret: a few calls however large the page.
// nullopt when the window shows no page, when no caret leads to an element that holds the focus
// (the focus is on a button, or outside the page), or when a call fails; `call` tells which.
std::optional<GRef<AtspiAccessible>> focusedByCaret(ApplicationCall& call, AtspiAccessible* window);

}  // namespace fieldpilot::platform::live
