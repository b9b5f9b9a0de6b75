// fieldpilot in LibreOffice Writer (the GTK 3 build), started with a private profile: the
// paragraph with the caret is the text area, from the first run after the window shows. The truth
// comes from Writer's accessibility tree, read by the test itself, and from the clipboard.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/apps_suite.h"

namespace live_apps {
namespace {

using nlohmann::json;

class Writer : public AppsSuite {
  protected:
    static void SetUpTestSuite() {
        startSuite({});
        // A profile of its own in the desktop's private folder, which goes with the desktop.
        const std::string profile = (desktop().folder() / "libreoffice-profile").string();
        startApplication({.argv = {"soffice", "-env:UserInstallation=file://" + profile,
                                   "--norestore", "--nologo", "--writer"},
                          .logName = "writer.log",
                          .startLimit = std::chrono::seconds(120)});
    }
};

TEST_F(Writer, TheParagraphWithTheCaretIsATextAreaFromTheFirstRun) {
    const auto focused = fieldpilot({"focused"});
    EXPECT_EQ(focused.reply.value("role", ""), "AXTextArea") << focused.standardOutput;
    EXPECT_EQ(focused.reply["valueSettable"], true);
    EXPECT_EQ(focused.reply.value("value", "?"), "");
}

TEST_F(Writer, TextCommandsChangeTheParagraph) {
    const auto set = fieldpilot({"set", pid()}, "Dictated paragraph");
    EXPECT_EQ(set.reply, (json{{"set", true}, {"axError", 0}, {"value", "Dictated paragraph"}}));
    EXPECT_EQ(typedText(), "Dictated paragraph");

    clipboardApp().setClipboard("");
    EXPECT_EQ(fieldpilot({"copy", "all", pid()}).exitStatus, 0);
    EXPECT_EQ(clipboardApp().clipboard(), "Dictated paragraph");

    clipboardApp().setClipboard("Pasted paragraph");
    EXPECT_EQ(fieldpilot({"paste", pid(), "all"}).exitStatus, 0);
    EXPECT_EQ(typedText(), "Pasted paragraph");

    EXPECT_EQ(fieldpilot({"clearfield", pid()}).reply, (json{{"cleared", true}}));
    EXPECT_EQ(typedText(), "");

    EXPECT_EQ(fieldpilot({"focusfield", pid()}).reply,
              (json{{"focused", true}, {"role", "AXTextArea"}}));
}

}  // namespace
}  // namespace live_apps
