// fieldpilot in LibreOffice Writer (the GTK 3 build), started with a private profile: the
// paragraph with the caret is the text area, from the first run after the window shows. The truth
// comes from Writer's accessibility tree, read by the test itself, and from the clipboard.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/apps_suite.h"
#include "support/atspi_reader.h"

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
    static std::string pid() { return application(0).windowPidText(); }
    static std::optional<std::string> paragraph() {
        return focusedEditableText(application(0).windowPid());
    }
};

TEST_F(Writer, TheParagraphWithTheCaretIsATextAreaFromTheFirstRun) {
    const auto focused = fieldpilot({"focused"});
    EXPECT_EQ(focused.reply.value("role", ""), "AXTextArea") << focused.standardOutput;
    EXPECT_EQ(focused.reply["valueSettable"], true);
    EXPECT_EQ(focused.reply.value("value", "?"), "");
}

TEST_F(Writer, TextCommandsChangeTheParagraph) {
    application(0).present();
    const auto set = fieldpilot({"set", pid()}, "Dictated paragraph");
    EXPECT_EQ(set.reply, (json{{"set", true}, {"axError", 0}, {"value", "Dictated paragraph"}}));
    EXPECT_EQ(paragraph(), "Dictated paragraph");

    clipboardApp().setClipboard("");
    EXPECT_EQ(fieldpilot({"copy", "all", pid()}).exitStatus, 0);
    EXPECT_EQ(clipboardApp().clipboard(), "Dictated paragraph");

    clipboardApp().setClipboard("Pasted paragraph");
    EXPECT_EQ(fieldpilot({"paste", pid(), "all"}).exitStatus, 0);
    EXPECT_EQ(paragraph(), "Pasted paragraph");

    EXPECT_EQ(fieldpilot({"clearfield", pid()}).reply, (json{{"cleared", true}}));
    EXPECT_EQ(paragraph(), "");

    EXPECT_EQ(fieldpilot({"focusfield", pid()}).reply,
              (json{{"focused", true}, {"role", "AXTextArea"}}));
}

}  // namespace
}  // namespace live_apps
