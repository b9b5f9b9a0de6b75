// Time, sleeping and the run-loop spin.
#import <Foundation/Foundation.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>

#include "mac_desktop.h"

namespace fieldpilot::platform::mac {

Micros MacDesktop::now() {
    return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now().time_since_epoch());
}

void MacDesktop::sleepFor(Micros duration) {
    constexpr std::int64_t kLongestSleep = std::numeric_limits<useconds_t>::max();
    for (std::int64_t left = duration.count(); left > 0; left -= kLongestSleep) {
        usleep(static_cast<useconds_t>(std::min(left, kLongestSleep)));
    }
}

void MacDesktop::spinRunLoop(Micros duration) {
    @autoreleasepool {
        const NSTimeInterval seconds = std::chrono::duration<double>(duration).count();
        [[NSRunLoop currentRunLoop] runUntilDate:[NSDate dateWithTimeIntervalSinceNow:seconds]];
    }
}

}  // namespace fieldpilot::platform::mac
