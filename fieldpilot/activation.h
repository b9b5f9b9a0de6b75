// Which application is in front, bringing one to the front, and waiting for the user's modifier
// keys. These never report or exit: a failure is 0 for a pid or false, and the caller replies.
#pragma once

#include <chrono>

#include "platform/platform.h"

namespace fieldpilot {

// Timeouts are seconds on the desktop's clock (Desktop::now).
using Seconds = std::chrono::duration<double>;

// The process id of the frontmost application; 0 when none is known.
platform::Pid frontmostPid(platform::Desktop& desktop);

// Whether a running application has `pid` and has not terminated.
bool isRunning(platform::Desktop& desktop, platform::Pid pid);

// Whether `pid` is the frontmost application. 0 stands for "unknown", never for a process, so a
// pid of 0 or less is never frontmost.
bool isFrontmost(platform::Desktop& desktop, platform::Pid pid);

// Activates the application, alternating the activation call and an "AXFrontmost" write, each
// followed by six checks 50 ms apart, until it is frontmost or the timeout has passed. The
// deadline is checked only between attempts. True when the application is frontmost at the end.
bool bringToFront(platform::Desktop& desktop, platform::Pid pid, Seconds timeout);

// Polls the hardware modifier state until Shift, Control, Option and Command are all up (Caps
// Lock does not count). False when one is still held at the deadline.
bool waitForModifiersReleased(platform::Desktop& desktop, Seconds timeout);

}  // namespace fieldpilot
