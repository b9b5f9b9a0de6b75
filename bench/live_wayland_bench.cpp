// fieldpilot's focused report and paste on a headless sway session (see tests/live_wayland), with
// the GTK 3 test application as a native Wayland client, timed as live_run_timing.h says.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "live_run_timing.h"
#include "support/sway_desktop.h"
#include "support/test_app.h"

namespace {

using live_desktop::TestApp;
using live_wayland::SwayDesktop;

struct Stage {
    std::unique_ptr<SwayDesktop> desktop = std::make_unique<SwayDesktop>();
    TestApp plain{*desktop, {.title = "Plain"}};
    TestApp window200{
        *desktop, {.title = "200 elements", .fillerLabels = 200 - kWindowElementsBesidesLabels}};
};

Stage& stage() {
    static Stage shared;
    return shared;
}

// The app's window in front, with a fresh text in its focused entry.
auto entryOf(TestApp& app) {
    return [&app] {
        stage().desktop->focus(app.pid());
        app.present();
        app.setText("entry", "Some text to work on");
        app.focus("entry");
    };
}

void timeCommand(benchmark::State& state, const std::vector<std::string>& arguments, double fixedMs,
                 TestApp& app) {
    timeRuns(state, fixedMs, entryOf(app), [&] {
        return live_desktop::runFieldpilot(*stage().desktop, FIELDPILOT_EXE, arguments);
    });
}

void focused(benchmark::State& state) {
    timeCommand(state, {"focused"}, 0, stage().plain);
}

void focusedIn200ElementWindow(benchmark::State& state) {
    timeCommand(state, {"focused"}, 0, stage().window200);
}

void pasteAll(benchmark::State& state) {
    TestApp& app = stage().plain;
    app.setClipboard("Pasted text");
    timeCommand(state, {"paste", std::to_string(app.pid()), "all"},
                kShortcutMs + kSelectAllWaitMs + kShortcutMs, app);
}

}  // namespace

BENCHMARK(focused)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(focusedIn200ElementWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(pasteAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
