// The text-field commands of fieldpilot on a live desktop: a GTK window with an entry (focused,
// with a placeholder), a text view and a password entry.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <exception>

#include "support/live_desktop_suite.h"

namespace live_desktop {
namespace {

using nlohmann::json;

class TextFieldCommands : public LiveDesktopSuite {
  protected:
    void SetUp() override {
        LiveDesktopSuite::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        app().setText("view", "");
        app().setText("entry", "Hello world");
        app().focus("entry");
    }
};

// Non-ASCII text, so that byte and character offsets cannot be confused unnoticed.
TEST_F(TextFieldCommands, FocusedReportsTheEntryWithItsValuePlaceholderSelectionAndBounds) {
    app().setText("entry", "Grüße, wörld");
    app().select("entry", 7, 12);
    const FieldpilotResult run = fieldpilot({"focused"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply["pid"], app().pid());
    EXPECT_EQ(run.reply.value("role", ""), "AXTextField");
    EXPECT_EQ(run.reply.value("value", ""), "Grüße, wörld");
    EXPECT_EQ(run.reply.value("placeholder", ""), "Search notes");
    EXPECT_EQ(run.reply.value("selectedText", ""), "wörld");
    EXPECT_EQ(run.reply["valueSettable"], true);
    const json& bounds = run.reply["bounds"];
    ASSERT_TRUE(bounds.is_object()) << run.standardOutput;
    EXPECT_GT(bounds["w"], 0);
    EXPECT_GT(bounds["h"], 0);
}

TEST_F(TextFieldCommands, SetReplacesTheTextOfTheFocusedEntry) {
    const FieldpilotResult run = fieldpilot({"set", appPid()}, "Ersetzt: 世界 😀");
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"set", true}, {"axError", 0}, {"value", "Ersetzt: 世界 😀"}}));
    EXPECT_EQ(app().text("entry"), "Ersetzt: 世界 😀");
}

TEST_F(TextFieldCommands, PasteAllReplacesTheFieldTextWithTheClipboard) {
    app().setClipboard("From the clipboard");
    const FieldpilotResult run = fieldpilot({"paste", appPid(), "all"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"pasted", true}, {"modifiersReleased", true}}));
    EXPECT_EQ(app().text("entry"), "From the clipboard");
}

TEST_F(TextFieldCommands, CopyAllPutsTheWholeFieldOnTheClipboard) {
    app().setClipboard("stale");
    const FieldpilotResult run = fieldpilot({"copy", "all", appPid()});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"copied", true}, {"all", true}, {"modifiersReleased", true}}));
    EXPECT_EQ(app().clipboard(), "Hello world");
    EXPECT_EQ(app().text("entry"), "Hello world");
}

TEST_F(TextFieldCommands, ClearfieldEmptiesTheField) {
    const FieldpilotResult run = fieldpilot({"clearfield", appPid()});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"cleared", true}}));
    EXPECT_EQ(app().text("entry"), "");
}

TEST_F(TextFieldCommands, FocusfieldFocusesTheTextView) {
    const FieldpilotResult run = fieldpilot({"focusfield", appPid()});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"focused", true}, {"role", "AXTextArea"}}));
    EXPECT_EQ(app().focusedField(), "view");
}

// Select all is Control+A on the key that types "a", which a French layout moves to where "q"
// is on a US keyboard.
TEST_F(TextFieldCommands, SelectAllStillWorksWithAFrenchLayout) {
    struct FrenchLayout {
        FrenchLayout() { desktop().setKeyboardLayout("fr"); }
        ~FrenchLayout() {
            try {
                desktop().setKeyboardLayout("us");
            } catch (const std::exception& error) {
                ADD_FAILURE() << error.what();
            }
        }
    } french;
    const FieldpilotResult run = fieldpilot({"clearfield", appPid()});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(app().text("entry"), "");
}

}  // namespace
}  // namespace live_desktop
