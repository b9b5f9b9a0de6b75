// The simulated dictation platform's scenario parser on any bytes: a scenario or a one-line
// description of the problem, nothing else.
#include <cstdint>
#include <string>

#include "platform/sim/scenario.h"
#include "support/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const auto parsed = voicepipe::platform::sim::parseScenario(
        std::string(reinterpret_cast<const char*>(bytes), size));
    if (const auto* problem = std::get_if<std::string>(&parsed))
        fuzz::require(problem->find('\n') == std::string::npos, "the problem is one line");
    return 0;
}
