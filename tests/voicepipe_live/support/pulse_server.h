// A private PulseAudio daemon for one test process: a null sink at the dictation's rate whose
// monitor is the default source, so that what the test plays is what the microphone hears. It
// never touches the user's own daemon, and it is stopped by its pid however the test ends.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "support/pulse_streams.h"

namespace voicepipe::testing {

class PulseServer {
  public:
    // Starts the daemon, waits until it serves, starts the noise floor and warms the sink up.
    PulseServer();
    ~PulseServer();
    PulseServer(const PulseServer&) = delete;
    PulseServer& operator=(const PulseServer&) = delete;

    // Whether the daemon serves and the noise floor plays.
    bool ready() const { return noiseFloor_ != nullptr && noiseFloor_->playing(); }
    // The server's address, as PULSE_SERVER gives it.
    const std::string& address() const { return address_; }
    // The variables that point a client at this server and nowhere else.
    std::map<std::string, std::string> clientEnvironment() const;
    // What the daemon has written so far, to show why it failed.
    std::string log() const;
    // A private folder for the test's own files, removed with the server.
    std::filesystem::path scratchFolder() const { return folder_ / "scratch"; }

  private:
    bool startDaemon();
    bool waitUntilServing();
    void stopDaemon();

    std::filesystem::path folder_;
    std::string address_;
    pid_t pid_ = -1;
    std::unique_ptr<LoopedPlayback> noiseFloor_;
};

}  // namespace voicepipe::testing
