// "focused" in the applications of the Linux desktop beyond GTK 3 and the browsers (FeatherPad on
// Qt 5, the Qt 6 test form, gnome-text-editor on GTK 4, LibreOffice Writer, xfce4-terminal), 20
// runs each on the headless desktop, timed as live_run_timing.h says. own_cpu_ms is fieldpilot's
// own processor time per run (user and system, from the reaped process); the rest of a run is
// mostly waiting for the application's answers. Writer is also asked 50 times in a row, to show
// whether runs make it slower (first_10_ms against last_10_ms).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "live_run_timing.h"
#include "support/desktop_application.h"
#include "support/fieldpilot_run.h"
#include "support/headless_desktop.h"
#include "support/test_app.h"

namespace {

using live_apps::ApplicationOptions;
using live_apps::DesktopApplication;
using live_desktop::HeadlessDesktop;

double childrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

struct Stage {
    std::unique_ptr<HeadlessDesktop> desktop = std::make_unique<HeadlessDesktop>();
    // The first run turns accessibility on for the applications started after it.
    live_desktop::FieldpilotResult firstRun =
        live_desktop::runFieldpilot(*desktop, FIELDPILOT_EXE, {"focused"});
    DesktopApplication featherPad{*desktop, {.argv = {"featherpad"}, .logName = "featherpad.log"}};
    live_desktop::TestApp qtForm{*desktop, {.program = {QT_TEST_APP_EXE}}};
    DesktopApplication textEditor{
        *desktop, {.argv = {"gnome-text-editor", "--standalone"}, .logName = "text-editor.log"}};
    DesktopApplication writer{
        *desktop,
        {.argv = {"soffice",
                  "-env:UserInstallation=file://" + (desktop->folder() / "lo-profile").string(),
                  "--norestore", "--nologo", "--writer"},
         .logName = "writer.log",
         .startLimit = std::chrono::seconds(120)}};
    DesktopApplication terminal{
        *desktop,
        {.argv = {"xfce4-terminal", "--disable-server", "-x", "cat"}, .logName = "terminal.log"}};
};

Stage& stage() {
    static Stage shared;
    return shared;
}

// Times "focused" with `present` bringing the application forward once, before the loop.
template <typename Present>
void timeFocused(benchmark::State& state, Present present) {
    present();
    const double cpuBefore = childrenCpuMs();
    timeRuns(
        state, 0, [] {},
        [] { return live_desktop::runFieldpilot(*stage().desktop, FIELDPILOT_EXE, {"focused"}); });
    state.counters["own_cpu_ms"] =
        (childrenCpuMs() - cpuBefore) / static_cast<double>(state.iterations());
}

void focusedInFeatherPad(benchmark::State& state) {
    timeFocused(state, [] { stage().featherPad.present(); });
}

void focusedInQt6Form(benchmark::State& state) {
    timeFocused(state, [] { stage().qtForm.present(); });
}

void focusedInTextEditor(benchmark::State& state) {
    timeFocused(state, [] { stage().textEditor.present(); });
}

void focusedInWriter(benchmark::State& state) {
    timeFocused(state, [] { stage().writer.present(); });
}

void focusedInTerminal(benchmark::State& state) {
    timeFocused(state, [] { stage().terminal.present(); });
}

double meanMs(const std::vector<double>& runs) {
    return std::accumulate(runs.begin(), runs.end(), 0.0) / static_cast<double>(runs.size());
}

void writerOver50Runs(benchmark::State& state) {
    stage().writer.present();
    std::vector<double> runsMs;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        live_desktop::runFieldpilot(*stage().desktop, FIELDPILOT_EXE, {"focused"});
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        runsMs.push_back(took.count() * 1000);
    }
    constexpr std::size_t kCompared = 10;
    state.counters["first_10_ms"] =
        meanMs({runsMs.begin(), runsMs.begin() + static_cast<std::ptrdiff_t>(kCompared)});
    state.counters["last_10_ms"] =
        meanMs({runsMs.end() - static_cast<std::ptrdiff_t>(kCompared), runsMs.end()});
}

}  // namespace

BENCHMARK(focusedInFeatherPad)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(focusedInQt6Form)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(focusedInTextEditor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(focusedInWriter)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(focusedInTerminal)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(writerOver50Runs)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);
