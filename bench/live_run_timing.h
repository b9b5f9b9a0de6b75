// The timing of the live benchmarks: one fieldpilot process per iteration, timed as the host sees
// it, from starting the process to its exit. The counters give the fixed waits the command
// prescribes (fixed_ms), the mean time beyond them (beyond_fixed_ms), the part worth making
// faster, and the median (median_ms), which shows the usual run better on a shared machine.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <numeric>
#include <string>
#include <vector>

#include "support/fieldpilot_run.h"

// A Command shortcut is four key events, each followed by 12 ms; "all" waits after Command+A.
constexpr double kShortcutMs = 4 * 12;
constexpr double kSelectAllWaitMs = 90;
// The test application's fields plus its window's own elements come to about 12 accessibles.
constexpr int kWindowElementsBesidesLabels = 12;

// Calls `arrange` (untimed), then times `run`, which returns the FieldpilotResult of one run.
template <typename Arrange, typename Run>
void timeRuns(benchmark::State& state, double fixedMs, Arrange arrange, Run run) {
    std::vector<double> runsMs;
    for (auto _ : state) {
        arrange();
        const auto start = std::chrono::steady_clock::now();
        const live_desktop::FieldpilotResult result = run();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        runsMs.push_back(took.count() * 1000);
        if (result.exitStatus != 0) {
            state.SkipWithError(("fieldpilot failed: " + result.standardOutput).c_str());
            return;
        }
    }
    const double meanMs =
        std::accumulate(runsMs.begin(), runsMs.end(), 0.0) / static_cast<double>(runsMs.size());
    std::sort(runsMs.begin(), runsMs.end());
    state.counters["fixed_ms"] = fixedMs;
    state.counters["beyond_fixed_ms"] = meanMs - fixedMs;
    state.counters["median_ms"] = runsMs[runsMs.size() / 2];
}
