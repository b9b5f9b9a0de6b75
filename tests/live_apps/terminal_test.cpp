// fieldpilot in a VTE terminal (xfce4-terminal) in which cat runs: the terminal's own shortcuts
// on Control+Shift, never a key that reaches the program, and the terminal's text reported but
// not settable. The truth comes from the clipboard, the terminal's text through AT-SPI and
// /proc for cat.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/apps_suite.h"

namespace live_apps {
namespace {

using nlohmann::json;
using testing::HasSubstr;
using testing::Not;

class Terminal : public AppsSuite {
  protected:
    static void SetUpTestSuite() {
        startSuite({{.argv = {"xfce4-terminal", "--disable-server", "-x", "cat"},
                     .logName = "terminal.log"}});
    }
    // Whether cat still runs in the terminal: Control+C would have ended it.
    static bool catRuns() {
        for (const pid_t process : processTree(application(0).windowPid())) {
            if (programName(process) == "cat")
                return true;
        }
        return false;
    }
};

TEST_F(Terminal, PasteTypesIntoTheProgramAndCopyAllTakesTheTerminalsText) {
    clipboardApp().setClipboard("dictated words");
    const auto paste = fieldpilot({"paste", pid(), "selection"});
    ASSERT_EQ(paste.exitStatus, 0) << paste.standardOutput << paste.standardError;
    clipboardApp().setClipboard("");

    const auto copy = fieldpilot({"copy", "all", pid()});
    ASSERT_EQ(copy.exitStatus, 0) << copy.standardOutput << copy.standardError;
    EXPECT_THAT(clipboardApp().clipboard(), HasSubstr("dictated words"));
    EXPECT_TRUE(catRuns());

    const auto focused = fieldpilot({"focused"});
    EXPECT_EQ(focused.reply.value("role", ""), "AXTextArea") << focused.standardOutput;
    EXPECT_EQ(focused.reply["valueSettable"], false);
    // Neither a ^V nor the escape sequence of a Right Arrow reached cat.
    EXPECT_THAT(focused.reply.value("value", ""), HasSubstr("dictated words"));
    EXPECT_THAT(focused.reply.value("value", ""), Not(HasSubstr("^")));
}

TEST_F(Terminal, ClearfieldClearsNothingAndSendsNoDelete) {
    const auto run = fieldpilot({"clearfield", pid()});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"cleared", false}}));
    EXPECT_TRUE(catRuns());
    const auto focused = fieldpilot({"focused"});
    EXPECT_THAT(focused.reply.value("value", ""), Not(HasSubstr("^")));
}

TEST_F(Terminal, SetIsRefusedAndTheTerminalKeepsItsText) {
    const auto run = fieldpilot({"set", pid()}, "replaced");
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply["set"], false);
    EXPECT_THAT(run.reply.value("value", ""), Not(HasSubstr("replaced")));
}

}  // namespace
}  // namespace live_apps
