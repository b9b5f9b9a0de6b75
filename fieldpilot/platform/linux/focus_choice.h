// Which of the elements that claim the keyboard focus has it. Toolkits give the focused state to
// more than the element that receives typed keys: Qt also to the current tab of every tab widget
// (Qt 5 marks it not focusable, Qt 6 focusable) and to the viewport inside a text editor (not
// focusable). When the tab bar itself has the focus, its current tab is the only claimant.
#pragma once

#include <atspi/atspi-constants.h>

namespace fieldpilot::platform::live {

enum class FocusClaim {
    Absent,   // the element does not claim the focus
    Holds,    // it has the focus and can take it: it receives typed keys
    Doubtful  // it claims the focus, and another claimant may hold it
};

FocusClaim focusClaim(AtspiRole role, bool focused, bool focusable);

}  // namespace fieldpilot::platform::live
