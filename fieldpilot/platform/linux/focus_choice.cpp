#include "focus_choice.h"

namespace fieldpilot::platform::live {

FocusClaim focusClaim(AtspiRole role, bool focused, bool focusable) {
    if (!focused)
        return FocusClaim::Absent;
    if (!focusable || role == ATSPI_ROLE_PAGE_TAB)
        return FocusClaim::Doubtful;
    return FocusClaim::Holds;
}

}  // namespace fieldpilot::platform::live
