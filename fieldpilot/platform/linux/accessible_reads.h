// Reads of one AT-SPI accessible in the seam's terms. Each runs inside the ApplicationCall of the
// attribute read it serves, which decides what a failure means.
#pragma once

#include <atspi/atspi.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "accessibility_session.h"
#include "focus_choice.h"
#include "g_ref.h"
#include "platform/platform.h"
#include "text_offsets.h"

namespace fieldpilot::platform::live {

// The states of an accessible; null when the call failed.
GRef<AtspiStateSet> statesOf(ApplicationCall& call, AtspiAccessible* accessible);
bool hasState(AtspiStateSet* states, AtspiStateType state);
// How the accessible with these states claims the focus (focus_choice.h); nullopt when its role
// cannot be read.
std::optional<FocusClaim> claimOf(ApplicationCall& call, AtspiAccessible* accessible,
                                  AtspiStateSet* states);

// Up to `count` elements of the collection that match the rule, in canonical order (0: all);
// nullopt when the call fails. The application stops at the last one it needs.
std::optional<std::vector<GRef<AtspiAccessible>>> collectionMatches(ApplicationCall& call,
                                                                    AtspiCollection* collection,
                                                                    AtspiMatchRule* rule,
                                                                    gint count);

// How many children of one element are read at most: an application may claim billions.
constexpr int kChildrenTaken = 1000;

// The children of an accessible, the first kChildrenTaken of them; none when the call failed.
std::vector<GRef<AtspiAccessible>> childrenOf(ApplicationCall& call, AtspiAccessible* accessible,
                                              bool& failed);

// The accessible's name, asked over the accessibility bus; none when the call failed (the
// ApplicationCall around it tells why).
std::optional<std::string> nameOf(AtspiAccessible* accessible);
// The toolkit an application object names ("GTK", "Chromium", "Gecko", ...), asked in the same
// way; none when the call failed.
std::optional<std::string> toolkitNameOf(AtspiAccessible* application);

// How a toolkit's Text interface answers.
struct TextQuirks {
    OffsetUnit unit = OffsetUnit::CodePoints;
    // Its first answer after it starts may be empty while the field holds text (Firefox: for
    // some 50 ms): an empty answer is asked again for a while.
    bool firstAnswerMayBeEmpty = false;
};

// All the text of an accessible with a Text interface, as the user sees it (without the padding
// of a toolkit that counts UTF-16 units); none when the call failed, took too long or answered
// something else than text. A text of megabytes gets kTextReadTimeout.
std::optional<std::string> wholeText(ApplicationCall& call, AtspiAccessible* accessible,
                                     const TextQuirks& quirks);

// The text attributes: AXValue (for text), AXSelectedText, AXSelectedTextRange, and
// AXPlaceholderValue, read as the toolkit's quirks need. Unsupported for
// accessibles without text; a failed status, never an empty text, when they cannot be read.
AttributeRead textAttribute(ApplicationCall& call, AtspiAccessible* accessible,
                            std::string_view name, const TextQuirks& quirks);

}  // namespace fieldpilot::platform::live
