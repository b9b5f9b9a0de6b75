// fieldpilot in a GTK 4 application, gnome-text-editor, with a new document. GTK 4 refuses every
// request for the focus through accessibility, also for the editor that already has it. The
// truth comes from its accessibility tree, read by the test itself, and from the clipboard.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/apps_suite.h"

namespace live_apps {
namespace {

using nlohmann::json;

class Gtk4Editor : public AppsSuite {
  protected:
    static void SetUpTestSuite() {
        startSuite(
            {{.argv = {"gnome-text-editor", "--standalone"}, .logName = "gnome-text-editor.log"}});
    }
};

TEST_F(Gtk4Editor, TheEditorIsReportedSetAndFocused) {
    const auto focused = fieldpilot({"focused"});
    EXPECT_EQ(focused.reply.value("role", ""), "AXTextArea") << focused.standardOutput;
    EXPECT_EQ(focused.reply["diagnostics"].value("via", ""), "app");

    const auto set = fieldpilot({"set", pid()}, "set text");
    EXPECT_EQ(set.reply, (json{{"set", true}, {"axError", 0}, {"value", "set text"}}));
    EXPECT_EQ(typedText(), "set text");

    EXPECT_EQ(fieldpilot({"focusfield", pid()}).reply,
              (json{{"focused", true}, {"role", "AXTextArea"}}));
}

TEST_F(Gtk4Editor, KeyCommandsChangeAndTakeTheEditorsText) {
    clipboardApp().setClipboard("pasted text");
    EXPECT_EQ(fieldpilot({"paste", pid(), "all"}).exitStatus, 0);
    EXPECT_EQ(typedText(), "pasted text");

    clipboardApp().setClipboard("");
    EXPECT_EQ(fieldpilot({"copy", "all", pid()}).exitStatus, 0);
    EXPECT_EQ(clipboardApp().clipboard(), "pasted text");

    EXPECT_EQ(fieldpilot({"clearfield", pid()}).reply, (json{{"cleared", true}}));
    EXPECT_EQ(typedText(), "");
}

}  // namespace
}  // namespace live_apps
