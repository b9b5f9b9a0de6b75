#include "support/desktop_application.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace live_apps {
namespace {

using namespace std::chrono_literals;

constexpr auto kPollInterval = 50ms;
constexpr auto kActivationLimit = 10s;

// Each thread lists the children it started (oosplash starts soffice.bin from another thread).
std::vector<pid_t> childrenOf(pid_t pid) {
    std::vector<pid_t> children;
    std::error_code error;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream list(task.path() / "children");
        for (pid_t child = 0; list >> child;)
            children.push_back(child);
    }
    return children;
}

}  // namespace

std::vector<pid_t> processTree(pid_t root) {
    std::vector<pid_t> tree{root};
    for (std::size_t next = 0; next < tree.size(); ++next) {
        for (const pid_t child : childrenOf(tree[next]))
            tree.push_back(child);
    }
    return tree;
}

std::string programName(pid_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(file, name);
    return name;
}

DesktopApplication::DesktopApplication(const live_desktop::HeadlessDesktop& desktop,
                                       const ApplicationOptions& options)
    : process_({.argv = options.argv,
                .logPath = desktop.logFile(options.logName),
                .parentDeathSignal = SIGTERM}) {
    const auto deadline = std::chrono::steady_clock::now() + options.startLimit;
    while (window_ == None) {
        for (const pid_t pid : processTree(process_.pid())) {
            if (const auto window = x_.windowOf(pid)) {
                window_ = *window;
                windowPid_ = pid;
            }
        }
        if (window_ != None)
            break;
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error(options.argv.front() + " showed no window; see " +
                                     desktop.logFile(options.logName));
        std::this_thread::sleep_for(kPollInterval);
    }
    // Not every application takes the focus as its window opens (LibreOffice does not).
    present();
}

void DesktopApplication::present() {
    x_.activate(window_);
    const auto deadline = std::chrono::steady_clock::now() + kActivationLimit;
    while (!x_.isActive(window_)) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the application's window did not come to the front");
        std::this_thread::sleep_for(kPollInterval);
    }
}

}  // namespace live_apps
