// Threads that start with a given set of signals blocked.
#pragma once

#include <csignal>
#include <functional>
#include <thread>

namespace voicepipe::platform::linux_backend {

// Starts a thread that runs `body` with `blocked` blocked from its first instruction on. The mask
// is set in the starting thread around the creation (a thread inherits it), because a thread that
// blocked signals itself once running could take one that arrived before.
std::thread startThreadBlocking(const sigset_t& blocked, std::function<void()> body);

// Every signal the process may be sent from outside, for threads that only do background work:
// all but SIGPIPE, whose default action must still end the process when such a thread writes to a
// closed pipe, and the faults that the kernel raises in the faulting thread whatever its mask.
sigset_t backgroundThreadSignals();

}  // namespace voicepipe::platform::linux_backend
