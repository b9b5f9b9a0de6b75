// fieldpilot's focused report and paste on a headless GNOME session (see tests/live_wayland),
// with the GTK 3 test application as a native Wayland client. Only the application started last
// is in front in GNOME, so each benchmark has its own.
#include <benchmark/benchmark.h>

#include "live_own_app_runs.h"
#include "support/gnome_desktop.h"

namespace {

live_wayland::GnomeDesktop& desktop() {
    static live_wayland::GnomeDesktop shared;
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
