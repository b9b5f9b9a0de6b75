#include "support/browser.h"

#include <X11/keysym.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace live_browsers {
namespace {

using namespace std::chrono_literals;
using live_desktop::ChildOptions;
using live_desktop::HeadlessDesktop;

constexpr auto kStartLimit = 60s;
constexpr auto kChangeLimit = 5s;
constexpr auto kPollInterval = 20ms;
// The page's title changes first; Firefox's accessibility tree says what the script put in the
// field up to some 200 ms later.
constexpr auto kTreeCatchesUp = 500ms;

// The value is set by the script too: Firefox would otherwise bring back, on reload, what the
// field held before.
constexpr const char* kPageEnd =
    R"(<textarea id="field" placeholder="Write a message" autocomplete="off"></textarea>
<script>
const field = document.getElementById('field');
const report = () => {
  const [start, end] = [field.selectionStart, field.selectionEnd];
  const shown = field.value.length > 100 ? field.value.length + ' characters' : field.value;
  document.title = (document.activeElement === field ? 'F' : '-') + '[' + shown + ']' +
      (start !== end ? '<' + field.value.substring(start, end) + '>' : '');
};
for (const type of ['input', 'focus', 'blur', 'select', 'keyup']) field.addEventListener(type, report);
field.value = fieldCharacters > 0 ? 'x'.repeat(fieldCharacters) : 'Draft';
field.focus();
report();
</script></body></html>
)";

std::string fieldPage(int messages, int fieldCharacters) {
    std::string page = R"(<!doctype html>
<html><head><meta charset="utf-8"><title>-[]</title></head><body>
<p>A message to the team</p>
<script>const fieldCharacters = )" +
                       std::to_string(fieldCharacters) + R"(;</script>
)";
    for (int message = 0; message < messages; ++message) {
        page += "<div><b>Member " + std::to_string(message % 7) + "</b><p>Message " +
                std::to_string(message) + " of the thread.</p></div>\n";
    }
    return page + kPageEnd;
}

// Preferences that keep a new Firefox profile from showing anything but the page.
constexpr const char* kFirefoxPreferences =
    R"(user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.disabledForTesting", true);
user_pref("network.captive-portal-service.enabled", false);
user_pref("browser.sessionstore.resume_from_crash", false);
)";

std::string writePage(const HeadlessDesktop& desktop, const BrowserOptions& options) {
    const auto path = desktop.folder() / ("field-" + std::to_string(options.messagesBeforeField) +
                                          "-" + std::to_string(options.fieldCharacters) + ".html");
    std::ofstream(path) << fieldPage(options.messagesBeforeField, options.fieldCharacters);
    return "file://" + path.string();
}

// A profile of its own for every browser started on the desktop.
std::filesystem::path newProfile(const HeadlessDesktop& desktop, const char* browser) {
    static int started = 0;
    const auto profile =
        desktop.folder() / (std::string(browser) + "-profile-" + std::to_string(++started));
    std::filesystem::create_directories(profile);
    return profile;
}

ChildOptions launch(const HeadlessDesktop& desktop, const BrowserOptions& options) {
    const std::string page = writePage(desktop, options);
    ChildOptions child;
    if (options.kind == BrowserKind::Chromium) {
        const auto profile = newProfile(desktop, "chromium");
        // No sandbox: the tests may run as root. The rest keeps it off the (closed) network.
        child.argv = {"chromium",
                      "--no-sandbox",
                      "--disable-gpu",
                      "--no-first-run",
                      "--no-default-browser-check",
                      "--disable-background-networking",
                      "--disable-component-update",
                      "--disable-sync",
                      "--password-store=basic",
                      "--window-size=800,600",
                      "--user-data-dir=" + profile.string()};
        child.logPath = profile.string() + ".log";
    } else {
        const auto profile = newProfile(desktop, "firefox");
        std::ofstream(profile / "user.js") << kFirefoxPreferences;
        child.argv = {"firefox-esr", "--no-remote", "--profile", profile.string(),
                      "--width",     "800",         "--height",  "600"};
        child.extraEnvironment = {"MOZ_CRASHREPORTER_DISABLE=1"};
        child.logPath = profile.string() + ".log";
    }
    child.argv.insert(child.argv.end(), options.arguments.begin(), options.arguments.end());
    child.argv.push_back(page);
    child.extraEnvironment.insert(child.extraEnvironment.end(), options.environment.begin(),
                                  options.environment.end());
    // Both end their own child processes when asked to quit.
    child.parentDeathSignal = SIGTERM;
    return child;
}

}  // namespace

Browser::Browser(const HeadlessDesktop& desktop, const BrowserOptions& options)
    : process_(launch(desktop, options)) {
    const std::string loaded = options.fieldCharacters > 0
                                   ? "F[" + std::to_string(options.fieldCharacters) + " characters]"
                                   : std::string(kLoadedField);
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (true) {
        if (const auto window = x_.windowOf(pid()); window && field() == loaded) {
            window_ = *window;
            std::this_thread::sleep_for(kTreeCatchesUp);
            return;
        }
        if (process_.waitFor(0ms))
            throw std::runtime_error("the browser ended; see its log in " +
                                     desktop.folder().string());
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the browser did not show the page; see its log in " +
                                     desktop.folder().string());
        std::this_thread::sleep_for(kPollInterval);
    }
}

std::string Browser::field() {
    const auto window = window_ != None ? std::optional<Window>(window_) : x_.windowOf(pid());
    if (!window)
        return "";
    const std::string title = x_.title(*window);
    // Chromium puts direction marks before a title that holds right-to-left text.
    const auto start = title.find("F[") != std::string::npos ? title.find("F[") : title.find("-[");
    const auto end = title.rfind(']');
    if (start == std::string::npos || end == std::string::npos || end < start)
        return "";
    return title.substr(start, end + 1 - start);
}

std::string Browser::selection() {
    const auto window = window_ != None ? std::optional<Window>(window_) : x_.windowOf(pid());
    const std::string title = window ? x_.title(*window) : "";
    // Browsers add their name after the page's title.
    const auto start = title.rfind("]<");
    const auto end = title.rfind('>');
    if (start == std::string::npos || end == std::string::npos || end < start + 2)
        return "";
    return title.substr(start + 2, end - start - 2);
}

std::string Browser::waitFor(std::string (Browser::*read)(), const std::string& expected) {
    const auto deadline = std::chrono::steady_clock::now() + kChangeLimit;
    std::string seen = (this->*read)();
    while (seen != expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kPollInterval);
        seen = (this->*read)();
    }
    return seen;
}

std::string Browser::waitForField(const std::string& expected) {
    return waitFor(&Browser::field, expected);
}

std::string Browser::waitForSelection(const std::string& expected) {
    const std::string seen = waitFor(&Browser::selection, expected);
    std::this_thread::sleep_for(kTreeCatchesUp);
    return seen;
}

void Browser::present() {
    const auto deadline = std::chrono::steady_clock::now() + kChangeLimit;
    x_.activate(window_);
    while (!x_.isActive(window_)) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the browser window did not become active");
        std::this_thread::sleep_for(kPollInterval);
    }
}

void Browser::selectLeftwards(int characters) {
    for (int pressed = 0; pressed < characters; ++pressed)
        x_.pressKey(XK_Left, true);
}

void Browser::reload() {
    if (field() == kLoadedField)
        return;
    x_.pressKey(XK_F5);
    if (waitForField(kLoadedField) != kLoadedField)
        throw std::runtime_error("the page did not load again");
    std::this_thread::sleep_for(kTreeCatchesUp);
}

}  // namespace live_browsers
