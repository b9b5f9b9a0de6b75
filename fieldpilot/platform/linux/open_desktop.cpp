// openDesktop of the Linux build: FIELDPILOT_DESKTOP picks a simulated desktop file, the built-in
// demo desktop (":demo"), or, unset, the live desktop.
#include <cstdlib>
#include <memory>
#include <string_view>

#include "live_desktop.h"
#include "platform/sim/sim_desktop.h"

namespace fieldpilot::platform {
namespace {

constexpr const char* kDesktopVariable = "FIELDPILOT_DESKTOP";
constexpr std::string_view kDemoDesktop = ":demo";

}  // namespace

std::unique_ptr<Desktop> openDesktop() {
    const char* choice = std::getenv(kDesktopVariable);
    if (!choice)
        return std::make_unique<live::LiveDesktop>();
    if (choice == kDemoDesktop)
        return sim::SimDesktop::demo();
    return sim::openDesktopFile(choice);
}

}  // namespace fieldpilot::platform
