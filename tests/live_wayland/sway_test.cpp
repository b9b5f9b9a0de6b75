// fieldpilot on a headless sway session, with the GTK 3 test application and GNOME Text Editor
// (GTK 4) running as native Wayland clients: what sway's IPC, the applications themselves, AT-SPI
// and wl-paste report is the truth each command is checked against.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "support/fieldpilot_run.h"
#include "support/sway_desktop.h"
#include "support/test_app.h"
#include "support/text_editor.h"

namespace live_wayland {
namespace {

using live_desktop::AppOptions;
using live_desktop::ChildProcess;
using live_desktop::FieldpilotResult;
using live_desktop::TestApp;
using namespace std::chrono_literals;

constexpr auto kSettleLimit = 60s;
constexpr auto kPollInterval = 100ms;

class SwaySession : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        startError_.clear();
        try {
            desktop_ = std::make_unique<SwayDesktop>();
            editor_ = startTextEditor(*desktop_);
            other_ = std::make_unique<TestApp>(*desktop_, AppOptions{.title = "Other"});
            app_ = std::make_unique<TestApp>(*desktop_);
        } catch (const std::exception& error) {
            startError_ = error.what();
        }
    }
    static void TearDownTestSuite() {
        editor_.reset();
        app_.reset();
        other_.reset();
        desktop_.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(startError_.empty()) << "the sway session did not start: " << startError_;
        desktop_->focus(app_->pid());
        app_->present();
        app_->focus("entry");
    }

    static FieldpilotResult fieldpilot(const std::vector<std::string>& arguments,
                                       const std::string& standardInput = "") {
        return live_desktop::runFieldpilot(*desktop_, FIELDPILOT_EXE, arguments, standardInput);
    }
    static std::string appPid() { return std::to_string(app_->pid()); }
    // sway lays windows out again for a while after one is mapped (a neighbour's title bar moves
    // them): the rectangle counts once two reads a poll apart agree.
    static nlohmann::json settledRect(int pid) {
        auto rect = desktop_->windowOf(pid)["rect"];
        for (auto waited = 0ms; waited < kSettleLimit; waited += kPollInterval) {
            std::this_thread::sleep_for(kPollInterval);
            auto again = desktop_->windowOf(pid)["rect"];
            if (again == rect)
                break;
            rect = std::move(again);
        }
        return rect;
    }

    static inline std::unique_ptr<SwayDesktop> desktop_;
    static inline std::unique_ptr<ChildProcess> editor_;
    static inline std::unique_ptr<TestApp> other_;
    static inline std::unique_ptr<TestApp> app_;
    static inline std::string startError_;
};

TEST_F(SwaySession, FocusedFindsTheFieldAndTakesTheBoundsFromSway) {
    app_->setText("entry", "draft");
    const auto rect = settledRect(app_->pid());
    const auto result = fieldpilot({"focused"});
    ASSERT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    EXPECT_EQ(result.reply["pid"], app_->pid());
    EXPECT_EQ(result.reply["role"], "AXTextField");
    EXPECT_EQ(result.reply["value"], "draft");
    EXPECT_EQ(
        result.reply["bounds"],
        (nlohmann::json{
            {"x", rect["x"]}, {"y", rect["y"]}, {"w", rect["width"]}, {"h", rect["height"]}}));
}

TEST_F(SwaySession, SetReplacesTheText) {
    app_->setText("entry", "draft");
    const auto result = fieldpilot({"set", appPid()}, "Hello, sway");
    EXPECT_EQ(result.reply["set"], true) << result.standardOutput;
    EXPECT_EQ(app_->text("entry"), "Hello, sway");
}

TEST_F(SwaySession, PasteAllTypesTheShortcutsIntoTheField) {
    app_->setText("entry", "draft");
    app_->setClipboard("pasted text");
    const auto result = fieldpilot({"paste", appPid(), "all"});
    EXPECT_EQ(result.reply["pasted"], true) << result.standardOutput;
    EXPECT_EQ(app_->text("entry"), "pasted text");
}

TEST_F(SwaySession, CopyAllPutsTheWholeTextOnTheClipboard) {
    app_->setText("entry", "copy me");
    app_->setClipboard("old");
    const auto result = fieldpilot({"copy", "all", appPid()});
    EXPECT_EQ(result.reply["copied"], true) << result.standardOutput;
    EXPECT_EQ(app_->clipboard(), "copy me");
}

TEST_F(SwaySession, ClearfieldEmptiesTheField) {
    app_->setText("entry", "to be cleared");
    const auto result = fieldpilot({"clearfield", appPid()});
    EXPECT_EQ(result.reply["cleared"], true) << result.standardOutput;
    EXPECT_EQ(app_->text("entry"), "");
}

TEST_F(SwaySession, ActivateFocusesTheApplicationsWindowAndConfirmsIt) {
    desktop_->focus(other_->pid());
    other_->present();
    const auto result = fieldpilot({"activate", appPid()});
    EXPECT_EQ(result.reply["frontmost"], true) << result.standardOutput;
    EXPECT_EQ(result.reply["frontPid"], app_->pid());
    EXPECT_EQ(desktop_->focusedPid(), app_->pid());
}

TEST_F(SwaySession, WindowDescribesTheWindowWithSwaysId) {
    const auto id = desktop_->windowOf(app_->pid())["id"].get<long>();
    const auto result = fieldpilot({"window", std::to_string(id)});
    EXPECT_EQ(result.reply["found"], true) << result.standardOutput;
    EXPECT_EQ(result.reply["onscreen"], true);
    EXPECT_EQ(fieldpilot({"window", "999999"}).reply["found"], false);
}

TEST_F(SwaySession, TheCommandsWorkInAGtk4Editor) {
    const int editor = editor_->pid();
    const std::string pid = std::to_string(editor);
    desktop_->focus(editor);
    EXPECT_EQ(fieldpilot({"focused"}).reply["role"], "AXTextArea");

    EXPECT_EQ(fieldpilot({"set", pid}, "first draft").reply["set"], true);
    EXPECT_EQ(desktop_->accessibleText(editor), "first draft");
    EXPECT_EQ(fieldpilot({"copy", "all", pid}).reply["copied"], true);
    EXPECT_EQ(desktop_->clipboard(), "first draft");
    EXPECT_EQ(fieldpilot({"clearfield", pid}).reply["cleared"], true);
    EXPECT_EQ(desktop_->accessibleText(editor), "");
    EXPECT_EQ(fieldpilot({"paste", pid, "all"}).reply["pasted"], true);
    EXPECT_EQ(desktop_->accessibleText(editor), "first draft");
}

// An X application runs on sway's XWayland: sway's IPC names its window (with the X window id) and
// keys reach it through sway's seat, as they reach native windows.
TEST_F(SwaySession, TheCommandsWorkInAnXWaylandWindow) {
    TestApp xapp(*desktop_, AppOptions{.title = "XWayland",
                                       .environment = {"GDK_BACKEND=x11",
                                                       "DISPLAY=" + desktop_->xwaylandDisplay()}});
    desktop_->focus(xapp.pid());
    xapp.present();
    xapp.focus("entry");
    xapp.setText("entry", "draft");
    const auto focused = fieldpilot({"focused"});
    EXPECT_EQ(focused.reply["pid"], xapp.pid()) << focused.standardOutput;
    EXPECT_EQ(focused.reply["value"], "draft");
    xapp.setClipboard("pasted text");
    EXPECT_EQ(fieldpilot({"paste", std::to_string(xapp.pid()), "all"}).reply["pasted"], true);
    EXPECT_EQ(xapp.text("entry"), "pasted text");
    const auto window = fieldpilot({"window", std::to_string(xapp.windowId())});
    EXPECT_EQ(window.reply["found"], true) << window.standardOutput;
}

}  // namespace
}  // namespace live_wayland
