// A test suite that shares one headless desktop, one browser on the field page and the GTK test
// application (which reads and writes the clipboard) among its tests. Each test starts with the
// browser in front and the page as it loaded.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/browser.h"
#include "support/fieldpilot_run.h"
#include "support/headless_desktop.h"
#include "support/test_app.h"

namespace live_browsers {

struct SuiteOptions {
    BrowserOptions browser;
    // Whether the desktop says that assistive technology is on when the browser starts.
    bool accessibilityOnAtLaunch = false;
};

class BrowserSuite : public testing::Test {
  protected:
    // Called by each suite's SetUpTestSuite.
    static void startSuite(const SuiteOptions& options);
    static void TearDownTestSuite();
    void SetUp() override;

    static live_desktop::HeadlessDesktop& desktop() { return *desktop_; }
    static Browser& browser() { return *browser_; }
    static live_desktop::TestApp& clipboardApp() { return *clipboardApp_; }
    static std::string browserPid() { return std::to_string(browser_->pid()); }
    static live_desktop::FieldpilotResult fieldpilot(const std::vector<std::string>& arguments,
                                                     const std::string& standardInput = "");

  private:
    static inline std::unique_ptr<live_desktop::HeadlessDesktop> desktop_;
    static inline std::unique_ptr<live_desktop::TestApp> clipboardApp_;
    static inline std::unique_ptr<Browser> browser_;
    static inline std::string skipReason_;
    static inline std::string startError_;
};

}  // namespace live_browsers
