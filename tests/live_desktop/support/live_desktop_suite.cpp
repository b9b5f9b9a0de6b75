#include "support/live_desktop_suite.h"

#include <exception>

namespace live_desktop {

void LiveDesktopSuite::SetUpTestSuite() {
    skipReason_.clear();
    startError_.clear();
    try {
        desktop_ = std::make_unique<HeadlessDesktop>();
        app_ = std::make_unique<TestApp>(*desktop_);
    } catch (const NoXServer& error) {
        skipReason_ = std::string("no X server can be started: ") + error.what();
    } catch (const std::exception& error) {
        startError_ = error.what();
    }
}

void LiveDesktopSuite::TearDownTestSuite() {
    app_.reset();
    desktop_.reset();
}

void LiveDesktopSuite::SetUp() {
    if (!skipReason_.empty())
        GTEST_SKIP() << skipReason_;
    ASSERT_TRUE(startError_.empty()) << "the headless desktop did not start: " << startError_;
    app_->present();
}

FieldpilotResult LiveDesktopSuite::fieldpilot(const std::vector<std::string>& arguments,
                                              const std::string& standardInput) {
    return runFieldpilot(*desktop_, FIELDPILOT_EXE, arguments, standardInput);
}

}  // namespace live_desktop
