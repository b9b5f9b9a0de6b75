#include "support/line_reader.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace live_desktop {

LineReader::Fill LineReader::fill(std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return Fill::timeout;
        pollfd watched{descriptor_, POLLIN, 0};
        const int ready = poll(&watched, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return Fill::timeout;
        char chunk[4096];
        const ssize_t count = read(descriptor_, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return Fill::end;
        buffered_.append(chunk, static_cast<std::size_t>(count));
        return Fill::data;
    }
}

std::optional<std::string> LineReader::next(std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const std::size_t end = buffered_.find('\n');
        if (end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        if (fill(deadline) != Fill::data)
            return std::nullopt;
    }
}

bool LineReader::readToEnd(std::string& text, std::chrono::steady_clock::time_point deadline) {
    Fill outcome = Fill::data;
    while (outcome == Fill::data)
        outcome = fill(deadline);
    text = std::move(buffered_);
    buffered_.clear();
    return outcome == Fill::end;
}

}  // namespace live_desktop
