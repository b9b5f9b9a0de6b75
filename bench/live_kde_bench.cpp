// fieldpilot's focused report and paste on a headless KWin (see tests/live_wayland), with the GTK 3
// test application as a native Wayland client, timed as live_run_timing.h says. Each benchmark
// has its own application, active since it was started last.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "live_run_timing.h"
#include "support/kde_desktop.h"
#include "support/test_app.h"

namespace {

using live_desktop::TestApp;
using live_wayland::KdeDesktop;

KdeDesktop& desktop() {
    static KdeDesktop shared(FIELDPILOT_EXE);
    return shared;
}

void timeCommand(benchmark::State& state, const std::vector<std::string>& arguments, double fixedMs,
                 TestApp& app) {
    timeRuns(
        state, fixedMs,
        [&app] {
            app.setText("entry", "Some text to work on");
            app.focus("entry");
        },
        [&] { return live_desktop::runFieldpilot(desktop(), FIELDPILOT_EXE, arguments); });
}

void focusedIn200ElementWindow(benchmark::State& state) {
    TestApp app(desktop(),
                {.title = "200 elements", .fillerLabels = 200 - kWindowElementsBesidesLabels});
    timeCommand(state, {"focused"}, 0, app);
}

void pasteAll(benchmark::State& state) {
    TestApp app(desktop(), {.title = "Plain"});
    app.setClipboard("Pasted text");
    timeCommand(state, {"paste", std::to_string(app.pid()), "all"},
                kShortcutMs + kSelectAllWaitMs + kShortcutMs, app);
}

}  // namespace

BENCHMARK(focusedIn200ElementWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(pasteAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
