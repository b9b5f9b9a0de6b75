#include "support/test_app.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <stdexcept>

#include "app/line_escaping.h"

namespace live_desktop {

namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kStartLimit = 30s;
constexpr std::chrono::milliseconds kAnswerLimit = 10s;

ChildOptions appOptions(const PrivateSession& desktop, const AppOptions& options) {
    std::vector<std::string> argv = options.program;
    if (argv.empty())
        argv = {LIVE_TEST_APP_EXE, "--title", options.title, "--elements",
                std::to_string(options.fillerLabels)};
    return ChildOptions{.argv = argv,
                        .extraEnvironment = options.environment,
                        .pipeInput = true,
                        .pipeOutput = true,
                        .logPath = desktop.logFile("app.log")};
}

}  // namespace

TestApp::TestApp(const PrivateSession& desktop, const AppOptions& options)
    : process_(appOptions(desktop, options)), output_(process_.output()) {
    const auto ready = output_.next(kStartLimit);
    std::istringstream words(ready.value_or(""));
    std::string word;
    if (!(words >> word >> pid_ >> windowId_) || word != "ready")
        throw std::runtime_error("the test application did not come up; see " +
                                 desktop.logFile("app.log"));
}

std::string TestApp::ask(const std::string& line) {
    const std::string request = line + "\n";
    if (write(process_.input(), request.data(), request.size()) !=
        static_cast<ssize_t>(request.size()))
        throw std::runtime_error("the test application does not read its commands");
    const auto answer = output_.next(kAnswerLimit);
    if (!answer)
        throw std::runtime_error("the test application did not answer " + line);
    return *answer;
}

void TestApp::expectOk(const std::string& line) {
    const std::string answer = ask(line);
    if (answer != "ok")
        throw std::runtime_error(line + ": " + answer);
}

std::string TestApp::text(const std::string& field) {
    return unescaped(ask("text " + field));
}

void TestApp::setText(const std::string& field, const std::string& text) {
    expectOk("set " + field + " " + escaped(text));
}

void TestApp::select(const std::string& field, int start, int end) {
    expectOk("select " + field + " " + std::to_string(start) + " " + std::to_string(end));
}

void TestApp::focus(const std::string& field) {
    expectOk("focus " + field);
}

std::string TestApp::focusedField() {
    return ask("focused");
}

std::string TestApp::clipboard() {
    return unescaped(ask("clipboard"));
}

void TestApp::setClipboard(const std::string& text) {
    expectOk("set-clipboard " + escaped(text));
}

void TestApp::present() {
    expectOk("present");
}

void TestApp::suspend() {
    kill(pid_, SIGSTOP);
}

void TestApp::resume() {
    kill(pid_, SIGCONT);
}

}  // namespace live_desktop
