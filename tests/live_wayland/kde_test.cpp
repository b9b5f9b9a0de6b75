// fieldpilot on a headless KWin (KDE Plasma), with the GTK 3 test application and GNOME Text
// Editor (GTK 4) running as native Wayland clients: what KWin's own scripts, the applications
// themselves, AT-SPI and wl-paste report is the truth each command is checked against.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "support/fieldpilot_run.h"
#include "support/kde_desktop.h"
#include "support/test_app.h"
#include "support/text_editor.h"
#include "support/wayland_reads.h"

namespace live_wayland {
namespace {

using live_desktop::AppOptions;
using live_desktop::ChildProcess;
using live_desktop::FieldpilotResult;
using live_desktop::TestApp;
using namespace std::chrono_literals;

constexpr auto kStartLimit = 60s;
constexpr auto kPollInterval = 100ms;

class KdeSession : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        startError_.clear();
        try {
            desktop_ = std::make_unique<KdeDesktop>(FIELDPILOT_EXE);
            editor_ = startTextEditor(*desktop_);
            behind_ = std::make_unique<TestApp>(*desktop_, AppOptions{.title = "Behind"});
            app_ = std::make_unique<TestApp>(*desktop_);
        } catch (const std::exception& error) {
            startError_ = error.what();
        }
    }
    static void TearDownTestSuite() {
        editor_.reset();
        app_.reset();
        behind_.reset();
        desktop_.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(startError_.empty()) << "the KDE session did not start: " << startError_;
        makeActive(app_->pid());
        app_->focus("entry");
    }

    static void makeActive(int pid) {
        desktop_->activate(pid);
        const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
        while (desktop_->activePid() != pid && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(kPollInterval);
    }
    static FieldpilotResult fieldpilot(const std::vector<std::string>& arguments,
                                       const std::string& standardInput = "") {
        return live_desktop::runFieldpilot(*desktop_, FIELDPILOT_EXE, arguments, standardInput);
    }
    static std::string pidOf(const TestApp& app) { return std::to_string(app.pid()); }

    static inline std::unique_ptr<KdeDesktop> desktop_;
    static inline std::unique_ptr<ChildProcess> editor_;
    static inline std::unique_ptr<TestApp> behind_;
    static inline std::unique_ptr<TestApp> app_;
    static inline std::string startError_;
};

TEST_F(KdeSession, FocusedFindsTheFieldAndTakesTheBoundsFromKWin) {
    app_->setText("entry", "draft");
    const auto window = desktop_->windowOf(app_->pid());
    const auto result = fieldpilot({"focused"});
    ASSERT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    EXPECT_EQ(result.reply["pid"], app_->pid());
    EXPECT_EQ(result.reply["role"], "AXTextField");
    EXPECT_EQ(result.reply["value"], "draft");
    EXPECT_EQ(result.reply["bounds"], (nlohmann::json{{"x", window["x"]},
                                                      {"y", window["y"]},
                                                      {"w", window["width"]},
                                                      {"h", window["height"]}}));
}

TEST_F(KdeSession, SetReplacesTheText) {
    app_->setText("entry", "draft");
    const auto result = fieldpilot({"set", pidOf(*app_)}, "Hello, KDE");
    EXPECT_EQ(result.reply["set"], true) << result.standardOutput;
    EXPECT_EQ(app_->text("entry"), "Hello, KDE");
}

TEST_F(KdeSession, KeysTypeTheShortcutsIntoTheField) {
    app_->setText("entry", "copy me");
    app_->setClipboard("old");
    EXPECT_EQ(fieldpilot({"copy", "all", pidOf(*app_)}).reply["copied"], true);
    EXPECT_EQ(app_->clipboard(), "copy me");
    EXPECT_EQ(fieldpilot({"clearfield", pidOf(*app_)}).reply["cleared"], true);
    EXPECT_EQ(app_->text("entry"), "");
    EXPECT_EQ(fieldpilot({"paste", pidOf(*app_), "all"}).reply["pasted"], true);
    EXPECT_EQ(app_->text("entry"), "copy me");
}

TEST_F(KdeSession, ActivateBringsTheApplicationBehindForwardAndConfirmsIt) {
    const auto result = fieldpilot({"activate", pidOf(*behind_)});
    EXPECT_EQ(result.reply["frontmost"], true) << result.standardOutput;
    EXPECT_EQ(result.reply["frontPid"], behind_->pid());
    EXPECT_EQ(desktop_->activePid(), behind_->pid());
}

TEST_F(KdeSession, NativeWindowsAreNotFoundById) {
    EXPECT_EQ(fieldpilot({"window", "1"}).reply["found"], false);
}

TEST_F(KdeSession, AKWinThatDoesNotAnswerLeavesTheFrontmostUnknownRatherThanHanging) {
    desktop_->suspendKWin(true);
    const auto result = fieldpilot({"focused"});
    desktop_->suspendKWin(false);
    EXPECT_FALSE(result.killedAsHung);
    EXPECT_EQ(result.reply["error"], "no_frontmost_app") << result.standardOutput;
}

TEST_F(KdeSession, TheCommandsWorkInAGtk4Editor) {
    const int editor = editor_->pid();
    const std::string pid = std::to_string(editor);
    makeActive(editor);
    EXPECT_EQ(fieldpilot({"focused"}).reply["role"], "AXTextArea");

    EXPECT_EQ(fieldpilot({"set", pid}, "first draft").reply["set"], true);
    EXPECT_EQ(accessibleTextOf(*desktop_, editor), "first draft");
    EXPECT_EQ(fieldpilot({"copy", "all", pid}).reply["copied"], true);
    EXPECT_EQ(waylandClipboard(*desktop_), "first draft");
    EXPECT_EQ(fieldpilot({"clearfield", pid}).reply["cleared"], true);
    EXPECT_EQ(accessibleTextOf(*desktop_, editor), "");
    EXPECT_EQ(fieldpilot({"paste", pid, "all"}).reply["pasted"], true);
    EXPECT_EQ(accessibleTextOf(*desktop_, editor), "first draft");
}

}  // namespace
}  // namespace live_wayland
