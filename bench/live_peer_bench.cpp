// fieldpilot against applications that answer badly (the misbehaving peer of the live-desktop
// tests, one per mode), on a headless live desktop: how long each command takes and how much
// memory it uses at most (max_rss_mb, from /usr/bin/time), whatever the application answers.
// Each is one run: the point is the bound, not a mean.
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/fieldpilot_run.h"
#include "support/headless_desktop.h"
#include "support/misbehaving_peer.h"

namespace {

using live_desktop::HeadlessDesktop;
using live_desktop::MisbehavingPeer;

HeadlessDesktop& desktop() {
    static HeadlessDesktop shared;
    return shared;
}

void command(benchmark::State& state, const std::string& mode, const std::string& name) {
    MisbehavingPeer peer(desktop(), mode);
    std::vector<std::string> arguments{"-f",           "%M", "-o", desktop().logFile("rss"),
                                       FIELDPILOT_EXE, name};
    if (name != "focused" && name != "dump")
        arguments.push_back(peer.pidText());
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto run = live_desktop::runFieldpilot(desktop(), "/usr/bin/time", arguments, "Text");
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        if (run.killedAsHung)
            state.SkipWithError("fieldpilot ran past the hang limit");
        // The last line: /usr/bin/time says first when the command exited with a failure.
        std::ifstream report(desktop().logFile("rss"));
        std::string line;
        std::string last;
        while (std::getline(report, line))
            last = line;
        const double maxRssKb = last.empty() ? 0 : std::stod(last);
        state.counters["ms"] = took.count() * 1000;
        state.counters["max_rss_mb"] = maxRssKb / 1024;
    }
}

const bool registered = [] {
    for (const char* mode :
         {"huge", "silent", "wide", "chain", "cycle", "wrong-types", "large-text"}) {
        for (const char* name : {"focused", "set", "dump", "focusfield"}) {
            benchmark::RegisterBenchmark((std::string(mode) + "/" + name).c_str(), command,
                                         std::string(mode), std::string(name))
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

}  // namespace
