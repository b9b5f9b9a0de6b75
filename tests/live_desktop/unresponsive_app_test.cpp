// An application, or the accessibility registry, that stops answering (SIGSTOP) must cost
// fieldpilot a bounded time: each run below ends on its own, well inside the 30 s after which a
// run counts as hung.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <memory>

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

    // The accessibility registry's pid, from the accessibility bus of the desktop; 0 when it
    // cannot be had.
    static pid_t registryPid() {
        const char* command =
            "dbus-send --bus=\"$(dbus-send --session --print-reply --dest=org.a11y.Bus "
            "/org/a11y/bus org.a11y.Bus.GetAddress | sed -n 's/.*string \"\\(.*\\)\"/\\1/p')\" "
            "--print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus "
            "org.freedesktop.DBus.GetConnectionUnixProcessID string:org.a11y.atspi.Registry "
            "| sed -n 's/.*uint32 //p'";
        const std::unique_ptr<FILE, int (*)(FILE*)> output(popen(command, "r"), pclose);
        int pid = 0;
        return output && std::fscanf(output.get(), "%d", &pid) == 1 ? pid : 0;
    }
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

// The registry answers for the list of applications, which is asked for again at every lookup of
// an application not seen yet in the run.
TEST_F(UnresponsiveApp, ARegistryThatStopsAnsweringCostsOneTimeout) {
    const pid_t registry = registryPid();
    ASSERT_GT(registry, 0);
    ASSERT_EQ(kill(registry, SIGSTOP), 0);
    const FieldpilotResult run = fieldpilot({"focused"});
    kill(registry, SIGCONT);
    ASSERT_FALSE(run.killedAsHung);
    EXPECT_EQ(run.reply, (nlohmann::json{{"error", "accessibility_not_trusted"}}))
        << run.standardOutput;
}

}  // namespace
}  // namespace live_desktop
