// The focus discovery's fallback at its limit: a breadth-first search of a 4000-element window
// tree on the simulated desktop, where the focused element is the last one visited.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "focus_discovery.h"
#include "platform/sim/sim_desktop.h"

namespace {

constexpr int kChildrenPerElement = 10;

// A window whose tree holds `count` elements, numbered in breadth-first order; the last is a
// focused text field.
std::string wideTree(int count) {
    std::ostringstream file;
    file << R"({"apps":[{"pid":7}],"elements":{)";
    for (int id = 0; id < count; ++id) {
        const bool last = id == count - 1;
        file << (id == 0 ? "" : ",") << "\"e" << id << R"(":{"pid":7,"AXRole":")"
             << (last ? "AXTextField" : "AXGroup") << R"(","AXFocused":)"
             << (last ? "true" : "false") << R"(,"AXChildren":[)";
        const int firstChild = id * kChildrenPerElement + 1;
        for (int child = firstChild; child < firstChild + kChildrenPerElement && child < count;
             ++child) {
            file << (child == firstChild ? "" : ",") << R"({"element":"e)" << child << "\"}";
        }
        file << "]}";
    }
    file << "}}";
    return file.str();
}

void searchFocusedThroughTheWholeBudget(benchmark::State& state) {
    const auto desktop = fieldpilot::sim::SimDesktop::fromText(wideTree(4000));
    const fieldpilot::platform::Element window = desktop->elementById("e0");
    for (auto _ : state) {
        benchmark::DoNotOptimize(fieldpilot::searchFocused(*desktop, window, 4000));
    }
    state.SetItemsProcessed(state.iterations() * 4000);
}
BENCHMARK(searchFocusedThroughTheWholeBudget)->Unit(benchmark::kMillisecond);

}  // namespace
