// Every fieldpilot command against the field page in Chromium (started as a user is told to,
// with accessibility on and its renderer switch) and in Firefox, the truth read from the page's
// own report of its field and from the clipboard.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/browser_suite.h"

namespace live_browsers {
namespace {

using nlohmann::json;
using testing::HasSubstr;

struct ChromiumWithSwitch {
    static SuiteOptions options() {
        return {.browser = {.kind = BrowserKind::Chromium,
                            .arguments = {"--force-renderer-accessibility"},
                            .environment = {"ACCESSIBILITY_ENABLED=1"}}};
    }
    static constexpr const char* placeholder = kPlaceholder;  // marked by "name-from"
    static constexpr int setError = -25205;                   // no EditableText at all
    // Its text area answers 0 to 0 for any selection, wherever the caret is.
    static constexpr bool reportsSelection = false;
};

struct Firefox {
    static SuiteOptions options() {
        return {.browser = {.kind = BrowserKind::Firefox}, .accessibilityOnAtLaunch = true};
    }
    // Firefox names the field after its placeholder and does not say that it did.
    static constexpr const char* placeholder = "";
    static constexpr int setError = -25200;  // answers success and keeps its text
    static constexpr bool reportsSelection = true;
};

template <typename Browser>
class FieldPage : public BrowserSuite {
  protected:
    static void SetUpTestSuite() { startSuite(Browser::options()); }
};

using Browsers = testing::Types<ChromiumWithSwitch, Firefox>;
TYPED_TEST_SUITE(FieldPage, Browsers);

TYPED_TEST(FieldPage, FocusedReportsTheTextAreaWithWhatItsToolkitMarksAsPlaceholder) {
    const auto run = this->fieldpilot({"focused"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply["pid"], this->browser().pid());
    EXPECT_EQ(run.reply.value("role", ""), "AXTextArea") << run.standardOutput;
    EXPECT_EQ(run.reply.value("value", ""), "Draft") << run.standardOutput;
    EXPECT_EQ(run.reply.value("placeholder", "?"), TypeParam::placeholder);
    EXPECT_EQ(run.reply["valueSettable"], false);
    EXPECT_FALSE(run.reply["diagnostics"].contains("treeHidden"));
    EXPECT_TRUE(run.reply["bounds"].is_object());
}

TYPED_TEST(FieldPage, SetSaysItFailedAndTheFieldKeepsItsText) {
    const auto run = this->fieldpilot({"set", this->browserPid()}, "Replaced");
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply,
              (json{{"set", false}, {"axError", TypeParam::setError}, {"value", "Draft"}}));
    EXPECT_EQ(this->browser().field(), kLoadedField);
}

TYPED_TEST(FieldPage, PasteAllReplacesTheFieldText) {
    this->clipboardApp().setClipboard("From the clipboard");
    const auto run = this->fieldpilot({"paste", this->browserPid(), "all"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"pasted", true}, {"modifiersReleased", true}}));
    EXPECT_EQ(this->browser().waitForField("F[From the clipboard]"), "F[From the clipboard]");
}

TYPED_TEST(FieldPage, CopyAllPutsTheFieldTextOnTheClipboard) {
    this->clipboardApp().setClipboard("stale");
    const auto run = this->fieldpilot({"copy", "all", this->browserPid()});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"copied", true}, {"all", true}, {"modifiersReleased", true}}));
    EXPECT_EQ(this->clipboardApp().clipboard(), "Draft");
    EXPECT_EQ(this->browser().field(), kLoadedField);
}

// Astral characters (an emoji, a joiner sequence, a flag), a combining mark and right-to-left
// text: Chromium and Firefox count offsets in them differently from GTK.
constexpr const char* kUnicodeText =
    "Hi 😀 cafe\u0301 étude שלום עולם 👨‍👩‍👧‍👦 flag 🇩🇪 end";
constexpr const char* kUnicodeTail = " 🇩🇪 end";

TYPED_TEST(FieldPage, TextBeyondTheBasicPlaneIsReportedAsTheUserSeesIt) {
    this->clipboardApp().setClipboard(kUnicodeText);
    ASSERT_EQ(this->fieldpilot({"paste", this->browserPid(), "all"}).exitStatus, 0);
    const std::string shown = std::string("F[") + kUnicodeText + "]";
    ASSERT_EQ(this->browser().waitForField(shown), shown);
    // The caret is at the end: the flag, the spaces around it and "end".
    this->browser().selectLeftwards(6);
    ASSERT_EQ(this->browser().waitForSelection(kUnicodeTail), kUnicodeTail);

    const auto run = this->fieldpilot({"focused"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply.value("value", ""), kUnicodeText);
    EXPECT_EQ(run.reply.value("selectedText", ""), TypeParam::reportsSelection ? kUnicodeTail : "");
}

TYPED_TEST(FieldPage, ClearfieldEmptiesTheField) {
    const auto run = this->fieldpilot({"clearfield", this->browserPid()});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"cleared", true}}));
    EXPECT_EQ(this->browser().waitForField("F[]"), "F[]");
}

TYPED_TEST(FieldPage, FocusfieldFocusesTheTextArea) {
    const auto run = this->fieldpilot({"focusfield", this->browserPid()});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"focused", true}, {"role", "AXTextArea"}}));
    EXPECT_EQ(this->browser().field(), kLoadedField);
}

TYPED_TEST(FieldPage, ActivateBringsTheBrowserInFront) {
    this->clipboardApp().present();
    const auto run = this->fieldpilot({"activate", this->browserPid()});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"frontmost", true}, {"frontPid", this->browser().pid()}}));
}

TYPED_TEST(FieldPage, WindowReportsTheBrowserWindowOnScreen) {
    const auto run = this->fieldpilot({"window", std::to_string(this->browser().window())});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply, (json{{"found", true},
                               {"layer", 0},
                               {"onscreen", true},
                               {"frontPid", this->browser().pid()}}));
}

TYPED_TEST(FieldPage, DumpReachesTheWebAreaAndTheFocusedTextArea) {
    const auto run = this->fieldpilot({"dump", "2000"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_THAT(run.standardOutput, HasSubstr("focusedUIElement: present"));
    EXPECT_THAT(run.standardOutput, HasSubstr("AXWebArea"));
    EXPECT_THAT(run.standardOutput, HasSubstr("AXTextArea focused=true"));
}

}  // namespace
}  // namespace live_browsers
