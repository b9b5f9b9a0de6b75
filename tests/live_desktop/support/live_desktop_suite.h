// A test suite that shares one headless desktop and one test application among its tests. The
// desktop starts before the suite's first test and stops after its last one; each test starts
// with the application in front. Tests skip only when no X server can be started.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/fieldpilot_run.h"
#include "support/headless_desktop.h"
#include "support/test_app.h"

namespace live_desktop {

class LiveDesktopSuite : public testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static HeadlessDesktop& desktop() { return *desktop_; }
    static TestApp& app() { return *app_; }
    static std::string appPid() { return std::to_string(app_->pid()); }
    static FieldpilotResult fieldpilot(const std::vector<std::string>& arguments,
                                       const std::string& standardInput = "");

  private:
    static inline std::unique_ptr<HeadlessDesktop> desktop_;
    static inline std::unique_ptr<TestApp> app_;
    static inline std::string skipReason_;
    static inline std::string startError_;
};

}  // namespace live_desktop
