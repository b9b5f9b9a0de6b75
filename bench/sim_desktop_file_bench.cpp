// Loading and saving a simulated desktop of 100,000 elements: a window tree ten children wide,
// each element with a role, a value and a selection, as a host's test of a big application
// would describe it. Both must take time linear in the number of elements.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "platform/sim/sim_desktop.h"

namespace {

constexpr int kElements = 100000;
constexpr int kChildrenPerElement = 10;

std::string bigDesktop(int count) {
    std::ostringstream file;
    file << R"({"frontmost":7,"apps":[{"pid":7,"AXFocusedWindow":{"element":"e0"}}],"elements":{)";
    for (int id = 0; id < count; ++id) {
        file << (id == 0 ? "" : ",") << "\"e" << id
             << R"(":{"pid":7,"AXRole":"AXStaticText","AXValue":"text of element )" << id
             << R"(","selection":[0,0],"AXChildren":[)";
        const int firstChild = id * kChildrenPerElement + 1;
        for (int child = firstChild; child < firstChild + kChildrenPerElement && child < count;
             ++child) {
            file << (child == firstChild ? "" : ",") << R"({"element":"e)" << child << "\"}";
        }
        file << "]}";
    }
    file << R"(},"log":[]})";
    return file.str();
}

void loadDesktopOf100kElements(benchmark::State& state) {
    const std::string text = bigDesktop(kElements);
    for (auto _ : state) {
        benchmark::DoNotOptimize(fieldpilot::sim::SimDesktop::fromText(text));
    }
    state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(loadDesktopOf100kElements)->Unit(benchmark::kMillisecond);

// Loads, then saves to a file when the desktop is destroyed, as every run does.
void loadAndSaveDesktopOf100kElements(benchmark::State& state) {
    const std::string text = bigDesktop(kElements);
    const auto path = std::filesystem::temp_directory_path() /
                      ("sim_desktop_bench_" + std::to_string(getpid()) + ".json");
    for (auto _ : state) {
        auto desktop = fieldpilot::sim::SimDesktop::fromText(text);
        desktop->saveWhenDestroyed(path);
        desktop.reset();
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * kElements);
}
BENCHMARK(loadAndSaveDesktopOf100kElements)->Unit(benchmark::kMillisecond);

}  // namespace
