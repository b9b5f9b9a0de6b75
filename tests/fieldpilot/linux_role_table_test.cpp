// AT-SPI roles as the macOS roles the logic searches for.
#include <gtest/gtest.h>

#include "platform/linux/role_table.h"

namespace fieldpilot::platform::live {
namespace {

TEST(LinuxRoleTable, TextRolesFollowTheirLineAndEditableStates) {
    EXPECT_EQ(axRole(ATSPI_ROLE_TEXT, {.multiLine = false, .editable = true}), "AXTextField");
    EXPECT_EQ(axRole(ATSPI_ROLE_ENTRY, {.multiLine = false, .editable = false}), "AXTextField");
    EXPECT_EQ(axRole(ATSPI_ROLE_TEXT, {.multiLine = true, .editable = true}), "AXTextArea");
    EXPECT_EQ(axRole(ATSPI_ROLE_TEXT, {.multiLine = false, .editable = false}), "AXStaticText");
    EXPECT_EQ(axRole(ATSPI_ROLE_PASSWORD_TEXT, {}), "AXTextField");
    EXPECT_EQ(axSubrole(ATSPI_ROLE_PASSWORD_TEXT), "AXSecureTextField");
    EXPECT_EQ(axRole(ATSPI_ROLE_PARAGRAPH, {.multiLine = true, .editable = true}), "AXTextArea");
    EXPECT_EQ(axRole(ATSPI_ROLE_PARAGRAPH, {.multiLine = false, .editable = false}), "AXGroup");
}

// The focus search looks through containers for the element inside them that has the focus.
TEST(LinuxRoleTable, ContainersMapToTheRolesTheFocusSearchLooksThrough) {
    EXPECT_EQ(axRole(ATSPI_ROLE_FRAME, {}), "AXWindow");
    EXPECT_EQ(axRole(ATSPI_ROLE_DIALOG, {}), "AXWindow");
    EXPECT_EQ(axRole(ATSPI_ROLE_DOCUMENT_WEB, {}), "AXWebArea");
    EXPECT_EQ(axRole(ATSPI_ROLE_PANEL, {}), "AXGroup");
    EXPECT_EQ(axRole(ATSPI_ROLE_SECTION, {}), "AXGroup");
    EXPECT_EQ(axRole(ATSPI_ROLE_VIEWPORT, {}), "AXScrollArea");
    EXPECT_EQ(axRole(ATSPI_ROLE_SPLIT_PANE, {}), "AXSplitGroup");
    EXPECT_EQ(axRole(ATSPI_ROLE_PAGE_TAB_LIST, {}), "AXTabGroup");
    EXPECT_EQ(axRole(ATSPI_ROLE_TOOL_BAR, {}), "AXToolbar");
    EXPECT_EQ(axRole(ATSPI_ROLE_APPLICATION, {}), "AXApplication");
}

TEST(LinuxRoleTable, RolesWithoutACounterpartAreUnknownAndHaveNoSubrole) {
    EXPECT_EQ(axRole(ATSPI_ROLE_INVALID, {}), "AXUnknown");
    EXPECT_EQ(axRole(ATSPI_ROLE_LAST_DEFINED, {}), "AXUnknown");
    EXPECT_EQ(axSubrole(ATSPI_ROLE_PANEL), std::nullopt);
}

}  // namespace
}  // namespace fieldpilot::platform::live
