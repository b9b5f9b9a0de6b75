// fieldpilot against Chromium and Firefox on a headless live desktop, on a page with a message
// thread above the reply box, as in a chat application: "focused" on a page of about 200
// elements and of about 4000, and "dump 4000", timed as live_run_timing.h says. The counter
// elements gives the number of elements in the whole window: the page's and about 230 of
// Chromium's own, or 115 of Firefox's.
//
// Each browser starts with the desktop's assistive technology on, as a user is told to arrange,
// and without renderer switches: the first run of fieldpilot turns its tree on, untimed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
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

void timeCommand(benchmark::State& state, BrowserKind kind, int pageElements,
                 const std::vector<std::string>& arguments, double fixedMs) {
    Browser browser(desktop(),
                    {.kind = kind, .messagesBeforeField = messagesFor(kind, pageElements)});
    const auto first = fieldpilot({"focused"});
    if (first.reply.value("role", "") != "AXTextArea") {
        state.SkipWithError(("the reply box is not found: " + first.standardOutput).c_str());
        return;
    }
    // A browser that has just started is busy with itself for a while, which a user's long-running
    // browser is not.
    std::this_thread::sleep_for(kBrowserSettles);
    timeRuns(
        state, fixedMs, [] {}, [&] { return fieldpilot(arguments); });
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
void firefoxFocused300000(benchmark::State& state) {
    timeCommand(state, BrowserKind::Firefox, 300000, {"focused"}, 0);
}
void firefoxDump4000(benchmark::State& state) {
    timeCommand(state, BrowserKind::Firefox, 4000, {"dump", "4000"}, kDumpWaitMs);
}

BENCHMARK(chromiumFocused200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(chromiumFocused4000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(chromiumDump4000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(chromiumFocused300000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(firefoxFocused200)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(firefoxFocused4000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(firefoxDump4000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(firefoxFocused300000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
