// fieldpilot in Qt applications: a Qt 6 form of our own (a tab widget whose page holds an entry
// and a multi-line view) and FeatherPad (Qt 5). Qt gives the focused state to the current tab and
// to the viewport inside an editor as well as to the widget with the keyboard focus; what the
// tests check is that every command acts on the widget with the keyboard focus. The truth comes
// from the Qt 6 form itself and from the clipboard.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/apps_suite.h"

namespace live_apps {
namespace {

using nlohmann::json;

class QtApplications : public AppsSuite {
  protected:
    static void SetUpTestSuite() {
        startSuite({{.argv = {"featherpad"}, .logName = "featherpad.log"}});
        if (!HasFailure())
            protocolApps_.push_back(std::make_unique<live_desktop::TestApp>(
                desktop(), live_desktop::AppOptions{.program = {QT_TEST_APP_EXE}}));
    }
    static live_desktop::TestApp& form() { return *protocolApps_.front(); }
    static std::string formPid() { return std::to_string(form().pid()); }
};

// Qt 6 reads whether assistive technology is on only as it starts: the form is reachable only
// because the first run, which found no window at all, turned it on.
TEST_F(QtApplications, FocusedFollowsTheKeyboardFocusPastTheCurrentTab) {
    EXPECT_EQ(firstRun().reply, (json{{"error", "no_frontmost_app"}}));
    form().present();
    form().setText("entry", "Grüße");
    form().focus("entry");
    const auto entry = fieldpilot({"focused"});
    EXPECT_EQ(entry.reply.value("role", ""), "AXTextField") << entry.standardOutput;
    EXPECT_EQ(entry.reply.value("value", ""), "Grüße");

    form().setText("view", "a longer\nmessage");
    form().focus("view");
    const auto view = fieldpilot({"focused"});
    EXPECT_EQ(view.reply.value("role", ""), "AXTextArea") << view.standardOutput;
    EXPECT_EQ(view.reply.value("value", ""), "a longer\nmessage");
    EXPECT_EQ(view.reply["valueSettable"], true);
}

TEST_F(QtApplications, TextCommandsChangeTheFieldWithTheKeyboardFocus) {
    form().present();
    form().focus("entry");
    const auto set = fieldpilot({"set", formPid()}, "set text");
    EXPECT_EQ(set.reply, (json{{"set", true}, {"axError", 0}, {"value", "set text"}}));
    EXPECT_EQ(form().text("entry"), "set text");

    clipboardApp().setClipboard("pasted text");
    EXPECT_EQ(fieldpilot({"paste", formPid(), "all"}).exitStatus, 0);
    EXPECT_EQ(form().text("entry"), "pasted text");

    clipboardApp().setClipboard("");
    EXPECT_EQ(fieldpilot({"copy", "all", formPid()}).exitStatus, 0);
    EXPECT_EQ(clipboardApp().clipboard(), "pasted text");

    EXPECT_EQ(fieldpilot({"clearfield", formPid()}).reply, (json{{"cleared", true}}));
    EXPECT_EQ(form().text("entry"), "");

    const auto focusfield = fieldpilot({"focusfield", formPid()});
    EXPECT_EQ(focusfield.reply, (json{{"focused", true}, {"role", "AXTextArea"}}));
    EXPECT_EQ(form().focusedField(), "view");
}

TEST_F(QtApplications, FeatherPadsEditorIsReportedAndSetRightAfterItStarts) {
    const auto focused = fieldpilot({"focused"});
    EXPECT_EQ(focused.reply.value("role", ""), "AXTextArea") << focused.standardOutput;
    EXPECT_EQ(focused.reply["valueSettable"], true);

    const auto set = fieldpilot({"set", pid()}, "replaced by set");
    EXPECT_EQ(set.reply, (json{{"set", true}, {"axError", 0}, {"value", "replaced by set"}}));
    clipboardApp().setClipboard("");
    EXPECT_EQ(fieldpilot({"copy", "all", pid()}).exitStatus, 0);
    EXPECT_EQ(clipboardApp().clipboard(), "replaced by set");
}

}  // namespace
}  // namespace live_apps
