// A test suite that shares one headless desktop and the applications under test among its tests.
// Before any application starts, fieldpilot runs once on the empty desktop, as a user's first
// run would; the GTK test application stands by to read and write the clipboard. Each test starts
// with the first application in front. Tests skip only when no X server can be started.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/atspi_reader.h"
#include "support/desktop_application.h"
#include "support/fieldpilot_run.h"
#include "support/headless_desktop.h"
#include "support/test_app.h"

namespace live_apps {

class AppsSuite : public testing::Test {
  protected:
    // Called by each suite's SetUpTestSuite with the applications it needs, in starting order.
    static void startSuite(const std::vector<ApplicationOptions>& applications);
    // Starts one more application once the suite's desktop runs (its options may name the
    // desktop's folders); a failure fails every test.
    static void startApplication(const ApplicationOptions& options);
    static void TearDownTestSuite();
    void SetUp() override;

    static live_desktop::HeadlessDesktop& desktop() { return *desktop_; }
    static DesktopApplication& application(std::size_t index) { return *applications_.at(index); }
    static live_desktop::TestApp& clipboardApp() { return *clipboardApp_; }
    // The first application's process id, as fieldpilot is given it.
    static std::string pid() { return application(0).windowPidText(); }
    // The text of the first application's element that receives typed keys, read over AT-SPI.
    static std::optional<std::string> typedText() {
        return focusedEditableText(application(0).windowPid());
    }
    // The run of "focused" on the desktop before any window was open.
    static const live_desktop::FieldpilotResult& firstRun() { return firstRun_; }
    static live_desktop::FieldpilotResult fieldpilot(const std::vector<std::string>& arguments,
                                                     const std::string& standardInput = "");

    // Extra applications of one suite, started after the others; stopped before them.
    static inline std::vector<std::unique_ptr<live_desktop::TestApp>> protocolApps_;

  private:
    static inline std::unique_ptr<live_desktop::HeadlessDesktop> desktop_;
    static inline std::unique_ptr<live_desktop::TestApp> clipboardApp_;
    static inline std::vector<std::unique_ptr<DesktopApplication>> applications_;
    static inline live_desktop::FieldpilotResult firstRun_;
    static inline std::string skipReason_;
    static inline std::string startError_;
};

}  // namespace live_apps
