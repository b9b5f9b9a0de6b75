#include "support/misbehaving_peer.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/line_reader.h"

namespace live_desktop {
namespace {

using namespace std::chrono_literals;

constexpr auto kStartLimit = 30s;

}  // namespace

MisbehavingPeer::MisbehavingPeer(const HeadlessDesktop& desktop, const std::string& mode)
    : logPath_(desktop.logFile("peer-" + mode + ".log")),
      process_(ChildOptions{.argv = {MISBEHAVING_PEER_EXE, mode, logPath_},
                            .pipeOutput = true,
                            .logPath = desktop.logFile("peer-" + mode + ".stderr")}) {
    const auto ready = LineReader(process_.output()).next(kStartLimit);
    if (ready != "ready " + std::to_string(process_.pid()))
        throw std::runtime_error("the misbehaving peer did not come up; see " +
                                 desktop.logFile("peer-" + mode + ".stderr"));
}

std::string MisbehavingPeer::log() const {
    std::ifstream in(logPath_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace live_desktop
