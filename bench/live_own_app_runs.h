// The Wayland benchmarks where the application started last is the one in front and nothing
// needs arranging beyond its text: `focused` in a window of about 200 elements and `paste all`,
// each in a GTK 3 test application of its own, timed as live_run_timing.h says.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "live_run_timing.h"
#include "support/private_session.h"
#include "support/test_app.h"

inline void timeInApplication(benchmark::State& state, const live_desktop::PrivateSession& desktop,
                              const std::vector<std::string>& arguments, double fixedMs,
                              live_desktop::TestApp& app) {
    timeRuns(
        state, fixedMs,
        [&app] {
            app.setText("entry", "Some text to work on");
            app.focus("entry");
        },
        [&] { return live_desktop::runFieldpilot(desktop, FIELDPILOT_EXE, arguments); });
}

inline void timeFocusedIn200ElementWindow(benchmark::State& state,
                                          const live_desktop::PrivateSession& desktop) {
    live_desktop::TestApp app(
        desktop, {.title = "200 elements", .fillerLabels = 200 - kWindowElementsBesidesLabels});
    timeInApplication(state, desktop, {"focused"}, 0, app);
}

inline void timePasteAll(benchmark::State& state, const live_desktop::PrivateSession& desktop) {
    live_desktop::TestApp app(desktop, {.title = "Plain"});
    app.setClipboard("Pasted text");
    timeInApplication(state, desktop, {"paste", std::to_string(app.pid()), "all"},
                      kShortcutMs + kSelectAllWaitMs + kShortcutMs, app);
}
