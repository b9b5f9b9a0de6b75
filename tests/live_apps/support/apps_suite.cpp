#include "support/apps_suite.h"

#include <exception>

namespace live_apps {
void AppsSuite::startSuite(const std::vector<ApplicationOptions>& applications) {
    skipReason_.clear();
    startError_.clear();
    try {
        desktop_ = std::make_unique<live_desktop::HeadlessDesktop>();
        firstRun_ = fieldpilot({"focused"});
        clipboardApp_ = std::make_unique<live_desktop::TestApp>(*desktop_);
        for (const auto& options : applications)
            applications_.push_back(std::make_unique<DesktopApplication>(*desktop_, options));
    } catch (const live_desktop::NoXServer& error) {
        skipReason_ = std::string("no X server can be started: ") + error.what();
    } catch (const std::exception& error) {
        startError_ = error.what();
    }
}

void AppsSuite::startApplication(const ApplicationOptions& options) {
    if (!desktop_ || !startError_.empty())
        return;
    try {
        applications_.push_back(std::make_unique<DesktopApplication>(*desktop_, options));
    } catch (const std::exception& error) {
        startError_ = error.what();
    }
}

void AppsSuite::TearDownTestSuite() {
    protocolApps_.clear();
    applications_.clear();
    clipboardApp_.reset();
    desktop_.reset();
}

void AppsSuite::SetUp() {
    if (!skipReason_.empty())
        GTEST_SKIP() << skipReason_;
    ASSERT_TRUE(startError_.empty()) << "the applications did not start: " << startError_;
    if (!applications_.empty())
        applications_.front()->present();
}

live_desktop::FieldpilotResult AppsSuite::fieldpilot(const std::vector<std::string>& arguments,
                                                     const std::string& standardInput) {
    return live_desktop::runFieldpilot(*desktop_, FIELDPILOT_EXE, arguments, standardInput);
}

}  // namespace live_apps
