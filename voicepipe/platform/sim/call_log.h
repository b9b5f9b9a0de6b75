// The call log of the simulated platform: one compact JSON line per platform call, appended to the
// scenario's log file, so that tests can see what the program asked of the platform and in what
// order.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <variant>

#include "json.h"

namespace voicepipe::platform::sim {

class CallLog {
  public:
    // A log that records nothing, for a scenario without a log file.
    CallLog() = default;
    ~CallLog();
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;

    // The log appending to the file at `path` (created when missing), or what went wrong.
    static std::variant<std::unique_ptr<CallLog>, std::string> appendingTo(const std::string& path);

    // Safe from any thread; each line reaches the file in one write, whole.
    void record(const json::Object& call);

  private:
    explicit CallLog(int fd) : fd_(fd) {}

    std::mutex mutex_;
    int fd_ = -1;
};

}  // namespace voicepipe::platform::sim
