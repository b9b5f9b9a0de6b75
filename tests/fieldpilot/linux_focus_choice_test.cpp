// Which claimant of the focused state receives typed keys.
#include <gtest/gtest.h>

#include "platform/linux/focus_choice.h"

namespace fieldpilot::platform::live {
namespace {

// Qt 5 marks the current tab focused but not focusable, Qt 6 focused and focusable; the editor
// with the keyboard focus is focused and focusable in both, its viewport focused only.
TEST(FocusChoice, TheCurrentTabAndUnfocusableElementsOnlyClaimTheFocus) {
    EXPECT_EQ(focusClaim(ATSPI_ROLE_TEXT, true, true), FocusClaim::Holds);
    EXPECT_EQ(focusClaim(ATSPI_ROLE_PAGE_TAB, true, true), FocusClaim::Doubtful);
    EXPECT_EQ(focusClaim(ATSPI_ROLE_PAGE_TAB, true, false), FocusClaim::Doubtful);
    EXPECT_EQ(focusClaim(ATSPI_ROLE_FILLER, true, false), FocusClaim::Doubtful);
    EXPECT_EQ(focusClaim(ATSPI_ROLE_TEXT, false, true), FocusClaim::Absent);
}

}  // namespace
}  // namespace fieldpilot::platform::live
