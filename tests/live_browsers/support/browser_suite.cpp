#include "support/browser_suite.h"

#include <exception>

namespace live_browsers {

using live_desktop::HeadlessDesktop;
using live_desktop::TestApp;

void BrowserSuite::startSuite(const SuiteOptions& options) {
    skipReason_.clear();
    startError_.clear();
    try {
        desktop_ = std::make_unique<HeadlessDesktop>();
        desktop_->setToolkitAccessibility(options.accessibilityOnAtLaunch);
        clipboardApp_ =
            std::make_unique<TestApp>(*desktop_, live_desktop::AppOptions{.title = "Clipboard"});
        browser_ = std::make_unique<Browser>(*desktop_, options.browser);
    } catch (const live_desktop::NoXServer& error) {
        skipReason_ = std::string("no X server can be started: ") + error.what();
    } catch (const std::exception& error) {
        startError_ = error.what();
    }
}

void BrowserSuite::TearDownTestSuite() {
    browser_.reset();
    clipboardApp_.reset();
    desktop_.reset();
}

void BrowserSuite::SetUp() {
    if (!skipReason_.empty())
        GTEST_SKIP() << skipReason_;
    ASSERT_TRUE(startError_.empty()) << "the browser's desktop did not start: " << startError_;
    browser_->present();
    browser_->reload();
}

live_desktop::FieldpilotResult BrowserSuite::fieldpilot(const std::vector<std::string>& arguments,
                                                        const std::string& standardInput) {
    return live_desktop::runFieldpilot(*desktop_, FIELDPILOT_EXE, arguments, standardInput);
}

}  // namespace live_browsers
