// fieldpilot's commands on a headless live desktop (Xvfb, the AT-SPI buses, openbox and the GTK
// test application), timed as live_run_timing.h says.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "live_run_timing.h"
#include "support/fieldpilot_run.h"
#include "support/headless_desktop.h"
#include "support/test_app.h"

namespace {

using live_desktop::HeadlessDesktop;
using live_desktop::TestApp;

constexpr double kKeyPressMs = 2 * 12;
constexpr double kCopyWaitMs = 120;
constexpr double kSetReadBackWaitMs = 80;
constexpr double kActivationCheckMs = 50;
constexpr double kDumpWaitMs = 500;
// A patient focus discovery that never finds the element: 20 passes, each ending in 150 ms.
constexpr double kAllDiscoveryPassesMs = 20 * 150;

struct Stage {
    std::unique_ptr<HeadlessDesktop> desktop = std::make_unique<HeadlessDesktop>();
    TestApp plain{*desktop, {.title = "Plain"}};
    TestApp window200{
        *desktop, {.title = "200 elements", .fillerLabels = 200 - kWindowElementsBesidesLabels}};
    TestApp second{*desktop, {.title = "Second window"}};
};

Stage& stage() {
    static Stage shared;
    return shared;
}

std::string pidOf(const TestApp& app) {
    return std::to_string(app.pid());
}

// Runs the command once per iteration after `arrange` (untimed). Commands that change nothing
// are arranged once, before the loop.
template <typename Arrange>
void timeCommand(benchmark::State& state, const std::vector<std::string>& arguments, double fixedMs,
                 Arrange arrange, const std::string& input = "") {
    timeRuns(state, fixedMs, arrange, [&] {
        return live_desktop::runFieldpilot(*stage().desktop, FIELDPILOT_EXE, arguments, input);
    });
}

// A fresh text in the focused entry of the app, which is in front.
auto entryOf(TestApp& app) {
    return [&app] {
        app.present();
        app.setText("entry", "Some text to work on");
        app.focus("entry");
    };
}

void focused(benchmark::State& state) {
    entryOf(stage().plain)();
    timeCommand(state, {"focused"}, 0, [] {});
}

void focusedIn200ElementWindow(benchmark::State& state) {
    entryOf(stage().window200)();
    timeCommand(state, {"focused"}, 0, [] {});
}

void set(benchmark::State& state) {
    timeCommand(state, {"set", pidOf(stage().plain)}, kSetReadBackWaitMs, entryOf(stage().plain),
                "Replacement text");
}

void pasteAll(benchmark::State& state) {
    TestApp& app = stage().plain;
    app.setClipboard("Pasted text");
    timeCommand(state, {"paste", pidOf(app), "all"}, kShortcutMs + kSelectAllWaitMs + kShortcutMs,
                entryOf(app));
}

void copyAll(benchmark::State& state) {
    TestApp& app = stage().plain;
    timeCommand(state, {"copy", "all", pidOf(app)},
                kShortcutMs + kSelectAllWaitMs + kShortcutMs + kCopyWaitMs + kKeyPressMs,
                entryOf(app));
}

void clearfield(benchmark::State& state) {
    TestApp& app = stage().plain;
    timeCommand(state, {"clearfield", pidOf(app)}, kShortcutMs + kSelectAllWaitMs + kKeyPressMs,
                entryOf(app));
}

void focusfield(benchmark::State& state) {
    TestApp& app = stage().plain;
    timeCommand(state, {"focusfield", pidOf(app)}, 0, entryOf(app));
}

// The app starts behind the second window, so one frontmost check (50 ms) is the least it takes.
void activate(benchmark::State& state) {
    timeCommand(state, {"activate", pidOf(stage().plain)}, kActivationCheckMs,
                [] { stage().second.present(); });
}

void window(benchmark::State& state) {
    stage().plain.present();
    timeCommand(state, {"window", std::to_string(stage().plain.windowId())}, 0, [] {});
}

void dump(benchmark::State& state) {
    timeCommand(state, {"dump"}, kDumpWaitMs, entryOf(stage().plain));
}

// The focused entry comes after every label in breadth-first order. The window is opened here,
// for the last row, and closed after it: while it is open it slows the other rows measurably.
void focusedIn4000ElementWindow(benchmark::State& state) {
    TestApp window4000(*stage().desktop, {.title = "4000 elements",
                                          .fillerLabels = 4000 - kWindowElementsBesidesLabels});
    entryOf(window4000)();
    timeCommand(state, {"focused"}, 0, [] {});
}

// An application stopped with SIGSTOP, in front: the discovery's calls time out, and every pass
// pauses.
void focusedOnStoppedApp(benchmark::State& state) {
    TestApp stopped(*stage().desktop, {.title = "Stopped"});
    stopped.suspend();
    timeCommand(state, {"focused"}, kAllDiscoveryPassesMs, [] {});
    stopped.resume();
}

// A stopped application behind the second window.
void activateStoppedApp(benchmark::State& state) {
    TestApp stopped(*stage().desktop, {.title = "Stopped"});
    stopped.suspend();
    timeCommand(state, {"activate", pidOf(stopped)}, kActivationCheckMs,
                [] { stage().second.present(); });
    stopped.resume();
}

BENCHMARK(focused)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(focusedIn200ElementWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(set)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(pasteAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(copyAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(clearfield)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(focusfield)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(activate)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(window)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(dump)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(focusedIn4000ElementWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(focusedOnStoppedApp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(activateStoppedApp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
