// fieldpilot's focused report and paste on a headless KWin (see tests/live_wayland), with the GTK 3
// test application as a native Wayland client. Each benchmark has its own application, active
// since it was started last.
#include <benchmark/benchmark.h>

#include "live_own_app_runs.h"
#include "support/kde_desktop.h"

namespace {

live_wayland::KdeDesktop& desktop() {
    static live_wayland::KdeDesktop shared(FIELDPILOT_EXE);
    return shared;
}

void focusedIn200ElementWindow(benchmark::State& state) {
    timeFocusedIn200ElementWindow(state, desktop());
}

void pasteAll(benchmark::State& state) {
    timePasteAll(state, desktop());
}

}  // namespace

BENCHMARK(focusedIn200ElementWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);
BENCHMARK(pasteAll)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
