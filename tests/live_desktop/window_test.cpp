// fieldpilot's window commands and its tree dump on a live desktop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/live_desktop_suite.h"

namespace live_desktop {
namespace {

using nlohmann::json;
using testing::HasSubstr;

class WindowCommands : public LiveDesktopSuite {};

TEST_F(WindowCommands, ActivateBringsTheAppInFrontOfASecondWindow) {
    TestApp second(desktop(), {.title = "Second window"});
    second.present();
    const FieldpilotResult run = fieldpilot({"activate", appPid()});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"frontmost", true}, {"frontPid", app().pid()}}));
    EXPECT_EQ(fieldpilot({"focused"}).reply["pid"], app().pid());
}

TEST_F(WindowCommands, WindowReportsTheAppWindowOnScreenInLayerZero) {
    const FieldpilotResult run = fieldpilot({"window", std::to_string(app().windowId())});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply,
              (json{{"found", true}, {"layer", 0}, {"onscreen", true}, {"frontPid", app().pid()}}));
}

TEST_F(WindowCommands, DumpListsTheTreeOfTheFocusedWindow) {
    const FieldpilotResult run = fieldpilot({"dump"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_THAT(run.standardOutput, HasSubstr(" pid=" + appPid()));
    EXPECT_THAT(run.standardOutput, HasSubstr("focusedUIElement: present"));
    EXPECT_THAT(run.standardOutput, HasSubstr("AXTextField"));
    EXPECT_THAT(run.standardOutput, HasSubstr("AXTextArea"));
    EXPECT_THAT(run.standardOutput, HasSubstr("visited="));
}

}  // namespace
}  // namespace live_desktop
