// Chromium's tree from outside: started while the desktop says that assistive technology is on,
// it builds its tree when fieldpilot asks; started before that, it cannot be reached at all, and
// the replies say so.
#include <gtest/gtest.h>

#include "support/browser_suite.h"

namespace live_browsers {
namespace {

using nlohmann::json;

class ChromiumStartedWithAccessibilityOn : public BrowserSuite {
  protected:
    static void SetUpTestSuite() {
        startSuite({.browser = {.kind = BrowserKind::Chromium}, .accessibilityOnAtLaunch = true});
    }
};

TEST_F(ChromiumStartedWithAccessibilityOn, FocusedTurnsTheTreeOnAndFindsTheTextArea) {
    const auto run = fieldpilot({"focused"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply.value("role", ""), "AXTextArea") << run.standardOutput;
    EXPECT_EQ(run.reply.value("placeholder", ""), kPlaceholder);
    EXPECT_EQ(run.reply["diagnostics"].value("via", ""), "app");
}

class ChromiumStartedWithAccessibilityOff : public BrowserSuite {
  protected:
    static void SetUpTestSuite() { startSuite({.browser = {.kind = BrowserKind::Chromium}}); }
};

TEST_F(ChromiumStartedWithAccessibilityOff, FocusedSaysTheTreeIsHidden) {
    const auto run = fieldpilot({"focused"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply["pid"], browser().pid());
    EXPECT_EQ(run.reply.value("role", "?"), "");
    EXPECT_EQ(run.reply["diagnostics"]["treeHidden"], true) << run.standardOutput;
}

TEST_F(ChromiumStartedWithAccessibilityOff, SetSaysTheTreeIsHiddenAndChangesNothing) {
    const auto run = fieldpilot({"set", browserPid()}, "Replaced");
    ASSERT_EQ(run.exitStatus, 1) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply.value("error", ""), "no_focused_element");
    EXPECT_EQ(run.reply["diagnostics"]["treeHidden"], true) << run.standardOutput;
    EXPECT_EQ(browser().field(), kLoadedField);
}

TEST_F(ChromiumStartedWithAccessibilityOff, PasteStillWorksThroughTheKeyboard) {
    clipboardApp().setClipboard("Typed around the tree");
    const auto run = fieldpilot({"paste", browserPid(), "all"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(browser().waitForField("F[Typed around the tree]"), "F[Typed around the tree]");
}

}  // namespace
}  // namespace live_browsers
