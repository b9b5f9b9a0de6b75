// fieldpilot against Chromium and Firefox on a headless live desktop, on a page with a message
// thread above the reply box, as in a chat application: "focused" on pages of about 200, 4000,
// 100,000 and 300,000 elements, and "dump 4000", timed as live_run_timing.h says. The counter
// elements gives the number of elements in the whole window: the page's and about 230 of
// Chromium's own, or 115 of Firefox's; browser_cpu_s gives the processor time the browser spent
// on each run, which a run must keep from growing with the page.
//
// Each browser starts with the desktop's assistive technology on, as a user is told to arrange,
// and without renderer switches: the first run of fieldpilot turns its tree on, untimed.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "live_run_timing.h"
#include "support/browser.h"
#include "support/fieldpilot_run.h"
#include "support/headless_desktop.h"

namespace {

using live_browsers::Browser;
using live_browsers::BrowserKind;
using live_desktop::HeadlessDesktop;

constexpr double kDumpWaitMs = 500;
constexpr std::chrono::seconds kBrowserSettles{3};
// A message of the thread (its section, the author, the text) is three elements in Chromium's
// tree and two in Firefox's.
int messagesFor(BrowserKind kind, int pageElements) {
    return pageElements / (kind == BrowserKind::Chromium ? 3 : 2);
}

HeadlessDesktop& desktop() {
    static const auto shared = [] {
        auto started = std::make_unique<HeadlessDesktop>();
        started->setToolkitAccessibility(true);
        return started;
    }();
    return *shared;
}

live_desktop::FieldpilotResult fieldpilot(const std::vector<std::string>& arguments) {
    return live_desktop::runFieldpilot(desktop(), FIELDPILOT_EXE, arguments);
}

// How many elements the dump walks through in the window, every one of them.
double elementsOfWindow() {
    const std::string report = fieldpilot({"dump", "1000000"}).standardOutput;
    const auto at = report.rfind("visited=");
    return at == std::string::npos ? 0 : std::stod(report.substr(at + 8));
}

// Chromium builds its accessibility tree when first asked (by the first run) and calls its page
// focused until the tree is there; both browsers take longer with larger pages. The time until a
// run finds the field (field_found_s) is a cost of the browser's first minute, not of a run.
bool fieldFound(benchmark::State& state) {
    constexpr auto kTreeLimit = std::chrono::seconds(120);
    constexpr auto kAskAgain = std::chrono::seconds(3);
    const auto start = std::chrono::steady_clock::now();
    while (true) {
        auto reply = fieldpilot({"focused"}).reply;
        const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
        if (reply.is_object() && reply.value("role", "") == "AXTextArea") {
            state.counters["field_found_s"] = waited.count();
            return true;
        }
        if (waited > kTreeLimit) {
            if (reply.is_object())
                reply.erase("value");
            state.SkipWithError(("the reply box is not found: " + reply.dump()).c_str());
            return false;
        }
        std::this_thread::sleep_for(kAskAgain);
    }
}

// The processor time, in seconds, that the process `root` and all its descendants have used.
double processorSecondsOfTree(pid_t root) {
    std::map<pid_t, pid_t> parents;
    std::map<pid_t, double> seconds;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream file(entry.path() / "stat");
        std::string stat;
        std::getline(file, stat);
        const auto closing = stat.rfind(')');
        if (closing == std::string::npos)
            continue;
        // After the command: state, ppid, then ten more fields before utime and stime.
        std::istringstream fields(stat.substr(closing + 2));
        std::string skipped;
        pid_t parent = 0;
        double user = 0;
        double system = 0;
        fields >> skipped >> parent;
        for (int field = 0; field < 9; ++field)
            fields >> skipped;
        fields >> user >> system;
        const pid_t pid = std::stoi(name);
        parents[pid] = parent;
        seconds[pid] = (user + system) / ticks;
    }
    double total = 0;
    for (const auto& [pid, used] : seconds) {
        for (pid_t ancestor = pid; ancestor > 1; ancestor = parents[ancestor]) {
            if (ancestor == root) {
                total += used;
                break;
            }
        }
    }
    return total;
}

void timeCommand(benchmark::State& state, BrowserKind kind, int pageElements,
                 const std::vector<std::string>& arguments, double fixedMs) {
    Browser browser(desktop(),
                    {.kind = kind, .messagesBeforeField = messagesFor(kind, pageElements)});
    if (!fieldFound(state))
        return;
    // A browser that has just started is busy with itself for a while, which a user's long-running
    // browser is not.
    std::this_thread::sleep_for(kBrowserSettles);
    // The browser's processor time from the start of one run to the start of the next, which
    // waits for it to settle: its work for a run goes on after a run that stopped waiting.
    double browserSeconds = 0;
    double runStarted = -1;
    const auto countBrowserWork = [&] {
        if (runStarted >= 0) {
            std::this_thread::sleep_for(kBrowserSettles);
            browserSeconds += processorSecondsOfTree(browser.pid()) - runStarted;
        }
        runStarted = processorSecondsOfTree(browser.pid());
    };
    timeRuns(state, fixedMs, countBrowserWork, [&] { return fieldpilot(arguments); });
    countBrowserWork();
    state.counters["browser_cpu_s"] =
        browserSeconds /
        static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["elements"] = elementsOfWindow();
}

void chromiumFocused200(benchmark::State& state) {
    timeCommand(state, BrowserKind::Chromium, 200, {"focused"}, 0);
}
void chromiumFocused4000(benchmark::State& state) {
    timeCommand(state, BrowserKind::Chromium, 4000, {"focused"}, 0);
}
void chromiumDump4000(benchmark::State& state) {
    timeCommand(state, BrowserKind::Chromium, 4000, {"dump", "4000"}, kDumpWaitMs);
}
// A page of some 300,000 elements: the run still ends within its bound, and the first run tells
// whether the field was found (the benchmark stops with the reply when it was not).
void chromiumFocused300000(benchmark::State& state) {
    timeCommand(state, BrowserKind::Chromium, 300000, {"focused"}, 0);
}
void firefoxFocused200(benchmark::State& state) {
    timeCommand(state, BrowserKind::Firefox, 200, {"focused"}, 0);
}
void firefoxFocused4000(benchmark::State& state) {
    timeCommand(state, BrowserKind::Firefox, 4000, {"focused"}, 0);
}
void chromiumFocused100000(benchmark::State& state) {
    timeCommand(state, BrowserKind::Chromium, 100000, {"focused"}, 0);
}
void firefoxFocused100000(benchmark::State& state) {
    timeCommand(state, BrowserKind::Firefox, 100000, {"focused"}, 0);
}
void firefoxFocused300000(benchmark::State& state) {
    timeCommand(state, BrowserKind::Firefox, 300000, {"focused"}, 0);
}
void firefoxDump4000(benchmark::State& state) {
    timeCommand(state, BrowserKind::Firefox, 4000, {"dump", "4000"}, kDumpWaitMs);
}

// A field holding 10 MB: each run's time, the memory fieldpilot took at most (max_rss_mb, from
// /usr/bin/time), and how much of the value the reply carried (value_mb); a run that did not
// read it says why in its diagnostics, which the benchmark stops with.
void focusedTenMegabytes(benchmark::State& state, BrowserKind kind) {
    constexpr int kCharacters = 10'000'000;
    Browser browser(desktop(), {.kind = kind, .fieldCharacters = kCharacters});
    if (!fieldFound(state))
        return;
    std::this_thread::sleep_for(kBrowserSettles);
    const std::string rssFile = desktop().logFile("rss");
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto run = live_desktop::runFieldpilot(
            desktop(), "/usr/bin/time", {"-f", "%M", "-o", rssFile, FIELDPILOT_EXE, "focused"});
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        std::ifstream report(rssFile);
        std::string line;
        std::string last;
        while (std::getline(report, line))
            last = line;
        state.counters["max_rss_mb"] = last.empty() ? 0 : std::stod(last) / 1024;
        const auto value = run.reply.value("value", std::string());
        state.counters["value_mb"] = static_cast<double>(value.size()) / 1e6;
        if (value.size() != kCharacters) {
            auto reply = run.reply;
            reply.erase("value");
            state.SkipWithError(("the value was not read whole: " + reply.dump()).c_str());
            return;
        }
    }
}
void chromiumFocusedTenMegabytes(benchmark::State& state) {
    focusedTenMegabytes(state, BrowserKind::Chromium);
}
void firefoxFocusedTenMegabytes(benchmark::State& state) {
    focusedTenMegabytes(state, BrowserKind::Firefox);
}

BENCHMARK(chromiumFocused200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(chromiumFocused4000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(chromiumDump4000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(chromiumFocused300000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(firefoxFocused200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(firefoxFocused4000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(firefoxDump4000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(chromiumFocused100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(firefoxFocused100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(firefoxFocused300000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(chromiumFocusedTenMegabytes)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(firefoxFocusedTenMegabytes)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
