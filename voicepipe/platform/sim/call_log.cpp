#include "platform/sim/call_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace voicepipe::platform::sim {

CallLog::~CallLog() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

std::variant<std::unique_ptr<CallLog>, std::string> CallLog::appendingTo(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return "cannot open log file " + path + ": " + std::strerror(errno);
    }
    return std::unique_ptr<CallLog>(new CallLog(fd));
}

void CallLog::record(const json::Object& call) {
    if (fd_ < 0) {
        return;
    }
    std::string line = json::serialize(call);
    line += '\n';
    std::lock_guard lock(mutex_);
    // A log that cannot be written loses its line; the simulated platform itself carries on.
    [[maybe_unused]] const auto written = write(fd_, line.data(), line.size());
}

}  // namespace voicepipe::platform::sim
