// The workspace, window server, file system and clock of the simulated desktop. Activation
// requests become effective on the virtual clock, which only sleeps and run-loop spins advance.
#include <algorithm>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_state.h"

namespace fieldpilot::sim {
namespace {

using platform::Micros;
using platform::Pid;

platform::RunningApplication runningApplicationOf(const AppRecord& app) {
    return {app.pid, app.name, app.bundleId, app.bundlePath, app.terminated};
}

void applyDueActivations(DesktopState& state) {
    auto& pending = state.pendingActivations;
    while (!pending.empty() && pending.front().due <= state.clock) {
        state.frontmost = pending.front().pid;
        pending.erase(pending.begin());
    }
}

}  // namespace

bool SimDesktop::isProcessTrusted() {
    return state_->trusted;
}

std::optional<platform::RunningApplication> SimDesktop::frontmostApplication() {
    if (!state_->frontmost) {
        return std::nullopt;
    }
    return runningApplication(*state_->frontmost);
}

std::optional<platform::RunningApplication> SimDesktop::runningApplication(Pid pid) {
    const auto app = state_->appByPid.find(pid);
    if (app == state_->appByPid.end()) {
        return std::nullopt;
    }
    return runningApplicationOf(state_->apps[app->second]);
}

bool SimDesktop::activateApplication(Pid pid, std::uint32_t options) {
    const auto found = state_->appByPid.find(pid);
    if (found == state_->appByPid.end()) {
        return false;
    }
    state_->log.push_back(ActivateLog{state_->clock, pid, options});
    const AppRecord& app = state_->apps[found->second];
    if (app.terminated || app.activation != Activation::Accept) {
        return false;
    }
    requestFront(app);
    return true;
}

void SimDesktop::requestFront(const AppRecord& app) {
    if (app.terminated) {
        return;
    }
    const Micros due = state_->clock + app.activationDelay;
    auto& pending = state_->pendingActivations;
    const auto later = std::upper_bound(
        pending.begin(), pending.end(), due,
        [](Micros time, const PendingActivation& request) { return time < request.due; });
    pending.insert(later, PendingActivation{due, app.pid});
    applyDueActivations(*state_);
}

std::optional<platform::WindowInfoList> SimDesktop::copyWindowInfo(std::uint32_t windowNumber) {
    const auto window = state_->windows.find(windowNumber);
    if (window == state_->windows.end()) {
        return platform::WindowInfoList{};
    }
    switch (window->second.kind) {
        case WindowEntry::Kind::NoList:
            return std::nullopt;
        case WindowEntry::Kind::Unconvertible:
            return platform::WindowInfoList{std::nullopt};
        case WindowEntry::Kind::Description:
            break;
    }
    return platform::WindowInfoList{window->second.description};
}

bool SimDesktop::fileExists(const std::string& path) {
    return state_->files.contains(path);
}

Micros SimDesktop::now() {
    return state_->clock;
}

void SimDesktop::sleepFor(Micros duration) {
    advanceClock(duration);
}

void SimDesktop::spinRunLoop(Micros duration) {
    advanceClock(duration);
}

void SimDesktop::advanceClock(Micros duration) {
    if (duration <= Micros(0)) {
        return;
    }
    state_->clock += duration;
    applyDueActivations(*state_);
}

}  // namespace fieldpilot::sim
