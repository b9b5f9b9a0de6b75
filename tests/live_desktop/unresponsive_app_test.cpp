// An application that stops answering (SIGSTOP) must cost fieldpilot a bounded time: each run
// below ends on its own, well inside the 30 s after which a run counts as hung.
#include <gtest/gtest.h>

#include "support/live_desktop_suite.h"

namespace live_desktop {
namespace {

class UnresponsiveApp : public LiveDesktopSuite {
  protected:
    // Continued whatever the test's outcome, so that the next test finds it answering.
    struct Suspension {
        explicit Suspension(TestApp& app) : app(app) { app.suspend(); }
        ~Suspension() { app.resume(); }
        TestApp& app;
    };
};

TEST_F(UnresponsiveApp, FocusedReportsTheAppWithoutAFocusedElement) {
    Suspension suspension(app());
    const FieldpilotResult run = fieldpilot({"focused"});
    ASSERT_FALSE(run.killedAsHung);
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_EQ(run.reply["pid"], app().pid());
    EXPECT_EQ(run.reply.value("role", ""), "");
}

TEST_F(UnresponsiveApp, ActivateBehindASecondWindowAnswers) {
    TestApp second(desktop(), {.title = "Second window"});
    second.present();
    Suspension suspension(app());
    const FieldpilotResult run = fieldpilot({"activate", appPid()});
    ASSERT_FALSE(run.killedAsHung);
    ASSERT_EQ(run.exitStatus, 0) << run.standardOutput << run.standardError;
    EXPECT_TRUE(run.reply["frontmost"].is_boolean()) << run.standardOutput;
}

}  // namespace
}  // namespace live_desktop
