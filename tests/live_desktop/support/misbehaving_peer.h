// The misbehaving accessibility peer of the live-desktop tests (see peer/misbehaving_peer.cpp),
// started in one of its modes with its window in front, and stopped by pid when it goes.
#pragma once

#include <sys/types.h>

#include <string>

#include "support/child_process.h"
#include "support/headless_desktop.h"

namespace live_desktop {

class MisbehavingPeer {
  public:
    // Throws std::runtime_error when it does not come up.
    MisbehavingPeer(const HeadlessDesktop& desktop, const std::string& mode);

    pid_t pid() const { return process_.pid(); }
    std::string pidText() const { return std::to_string(pid()); }
    // What it logged: one line per write asked of it.
    std::string log() const;

  private:
    std::string logPath_;
    ChildProcess process_;
};

}  // namespace live_desktop
