// Reads of one AT-SPI accessible in the seam's terms. Each runs inside the ApplicationCall of the
// attribute read it serves, which decides what a failure means.
#pragma once

#include <atspi/atspi.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "accessibility_session.h"
#include "g_ref.h"
#include "platform/platform.h"

namespace fieldpilot::platform::live {

// The states of an accessible; null when the call failed.
GRef<AtspiStateSet> statesOf(ApplicationCall& call, AtspiAccessible* accessible);
bool hasState(AtspiStateSet* states, AtspiStateType state);

// The children of an accessible; none when the call failed (see call.hasError / timedOut).
std::vector<GRef<AtspiAccessible>> childrenOf(ApplicationCall& call, AtspiAccessible* accessible,
                                              bool& failed);

// The accessible's name, asked over the accessibility bus; none when the call failed (the
// ApplicationCall around it tells why).
std::optional<std::string> nameOf(AtspiAccessible* accessible);
// The toolkit an application object names ("GTK", "Chromium", "Gecko", ...), asked in the same
// way; none when the call failed.
std::optional<std::string> toolkitNameOf(AtspiAccessible* application);

// All the text of a Text interface; none when the call failed.
std::optional<std::string> wholeText(ApplicationCall& call, AtspiText* text);

// The text attributes: AXValue (for text), AXSelectedText, AXSelectedTextRange, and
// AXPlaceholderValue. Unsupported for accessibles without text.
AttributeRead textAttribute(ApplicationCall& call, AtspiAccessible* accessible,
                            std::string_view name);

}  // namespace fieldpilot::platform::live
