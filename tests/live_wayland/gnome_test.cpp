// fieldpilot on a headless GNOME session (gnome-shell), with the GTK 3 test application running
// as a native Wayland client. GNOME lets no client activate another's window or learn where
// windows are: the tests check that fieldpilot says so rather than typing into the wrong window.
#include <gtest/gtest.h>

#include <memory>

#include "support/fieldpilot_run.h"
#include "support/gnome_desktop.h"
#include "support/test_app.h"

namespace live_wayland {
namespace {

using live_desktop::AppOptions;
using live_desktop::FieldpilotResult;
using live_desktop::TestApp;

// The application started last has the active window, and nothing here can change that: `app_`
// stays in front and `behind_` behind it for every test.
class GnomeSession : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        startError_.clear();
        try {
            desktop_ = std::make_unique<GnomeDesktop>();
            behind_ = std::make_unique<TestApp>(*desktop_, AppOptions{.title = "Behind"});
            app_ = std::make_unique<TestApp>(*desktop_);
        } catch (const std::exception& error) {
            startError_ = error.what();
        }
    }
    static void TearDownTestSuite() {
        app_.reset();
        behind_.reset();
        desktop_.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(startError_.empty()) << "the GNOME session did not start: " << startError_;
        app_->focus("entry");
    }

    static FieldpilotResult fieldpilot(const std::vector<std::string>& arguments,
                                       const std::string& standardInput = "") {
        return live_desktop::runFieldpilot(*desktop_, FIELDPILOT_EXE, arguments, standardInput);
    }
    static std::string pidOf(const TestApp& app) { return std::to_string(app.pid()); }

    static inline std::unique_ptr<GnomeDesktop> desktop_;
    static inline std::unique_ptr<TestApp> behind_;
    static inline std::unique_ptr<TestApp> app_;
    static inline std::string startError_;
};

TEST_F(GnomeSession, FocusedFindsTheActiveWindowsFieldAndLeavesOutUnknownBounds) {
    app_->setText("entry", "draft");
    const auto result = fieldpilot({"focused"});
    ASSERT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    EXPECT_EQ(result.reply["pid"], app_->pid());
    EXPECT_EQ(result.reply["role"], "AXTextField");
    EXPECT_EQ(result.reply["value"], "draft");
    EXPECT_FALSE(result.reply.contains("bounds"));
}

TEST_F(GnomeSession, SetReplacesTheText) {
    app_->setText("entry", "draft");
    EXPECT_EQ(fieldpilot({"set", pidOf(*app_)}, "Hello, GNOME").reply["set"], true);
    EXPECT_EQ(app_->text("entry"), "Hello, GNOME");
}

TEST_F(GnomeSession, KeysReachTheFrontmostApplication) {
    app_->setText("entry", "copy me");
    EXPECT_EQ(fieldpilot({"copy", "all", pidOf(*app_)}).reply["copied"], true);
    EXPECT_EQ(app_->clipboard(), "copy me");
    EXPECT_EQ(fieldpilot({"clearfield", pidOf(*app_)}).reply["cleared"], true);
    EXPECT_EQ(app_->text("entry"), "");
    EXPECT_EQ(fieldpilot({"paste", pidOf(*app_), "all"}).reply["pasted"], true);
    EXPECT_EQ(app_->text("entry"), "copy me");
}

TEST_F(GnomeSession, AnApplicationBehindIsNeitherActivatedNorTypedInto) {
    behind_->setText("entry", "kept");
    app_->setText("entry", "kept too");
    const auto activated = fieldpilot({"activate", pidOf(*behind_)});
    EXPECT_EQ(activated.reply["frontmost"], false) << activated.standardOutput;
    EXPECT_EQ(activated.reply["frontPid"], app_->pid());
    for (const auto& command : {"paste", "clearfield"}) {
        std::vector<std::string> arguments{command, pidOf(*behind_)};
        if (std::string(command) == "paste")
            arguments.push_back("all");
        const auto result = fieldpilot(arguments);
        EXPECT_EQ(result.reply["error"], "target_not_frontmost") << result.standardOutput;
    }
    EXPECT_EQ(behind_->text("entry"), "kept");
    EXPECT_EQ(app_->text("entry"), "kept too");
}

TEST_F(GnomeSession, NativeWindowsAreNotFoundById) {
    EXPECT_EQ(fieldpilot({"window", "1"}).reply["found"], false);
}

}  // namespace
}  // namespace live_wayland
