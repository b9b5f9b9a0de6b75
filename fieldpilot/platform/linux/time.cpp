// Time and sleeping.
#include <chrono>
#include <thread>

#include "live_desktop.h"

namespace fieldpilot::platform::live {

Micros LiveDesktop::now() {
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now().time_since_epoch());
}

void LiveDesktop::sleepFor(Micros duration) {
    std::this_thread::sleep_for(duration);
}

// Nothing here caches what the window system reports (every question asks the X server or the
// compositor afresh), so letting time pass is all a run-loop spin has to do.
void LiveDesktop::spinRunLoop(Micros duration) {
    std::this_thread::sleep_for(duration);
}

}  // namespace fieldpilot::platform::live
