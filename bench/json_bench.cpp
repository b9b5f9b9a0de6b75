// The reply writer on a typical "focused" reply, and on text full of escapes and bad bytes.
#include <benchmark/benchmark.h>

#include <string>

#include "json.h"

namespace {

json::Object focusedReply(const std::string& value) {
    return json::Object{
        {"app", "Notes"},
        {"bundleId", "com.example.notes"},
        {"pid", 4242},
        {"bounds", json::Object{{"x", 100}, {"y", 80}, {"w", 900}, {"h", 640}}},
        {"electron", false},
        {"diagnostics", json::Object{{"manualAccessibility", 0}, {"via", "app"}}},
        {"role", "AXTextArea"},
        {"subrole", ""},
        {"placeholder", "Type a note"},
        {"value", value},
        {"selectedText", ""},
        {"valueSettable", true},
    };
}

void serializeFocusedReply(benchmark::State& state) {
    const json::Object reply = focusedReply(std::string(state.range(0), 'x'));
    for (auto _ : state)
        benchmark::DoNotOptimize(json::serialize(reply));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(serializeFocusedReply)->Arg(64)->Arg(64 << 10);

void serializeHostileText(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < state.range(0) / 8; ++i)
        text += "a\"\\\n\x01\xff\xc3\xa9";
    for (auto _ : state)
        benchmark::DoNotOptimize(json::serialize(text));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(serializeHostileText)->Arg(64 << 10);

}  // namespace
