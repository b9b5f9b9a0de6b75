// The simulated desktop's loader on any bytes: a loaded desktop or a LoadError, nothing else. A
// loaded desktop also answers the focused report and saves.
#include <cstdint>
#include <string_view>

#include "command.h"
#include "platform/sim/sim_desktop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::unique_ptr<fieldpilot::sim::SimDesktop> desktop;
    try {
        desktop = fieldpilot::sim::SimDesktop::fromText(
            std::string_view(reinterpret_cast<const char*>(bytes), size));
    } catch (const fieldpilot::sim::LoadError&) {
        return 0;
    }
    const fieldpilot::Args args{"fieldpilot", "focused"};
    fieldpilot::Context context{*desktop, args, [] { return std::string(); }};
    json::serialize(fieldpilot::focusedCommand(context).reply);
    desktop->snapshot().dump();
    return 0;
}
