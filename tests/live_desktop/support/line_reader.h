// Reads lines from a pipe with a time limit, so that a child that never answers fails the test
// instead of hanging it.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace live_desktop {

class LineReader {
  public:
    explicit LineReader(int descriptor) : descriptor_(descriptor) {}

    // The next line without its line feed; nothing when the limit passes or the pipe closes first.
    std::optional<std::string> next(std::chrono::milliseconds limit);
    // Everything up to the end of the pipe; false when the limit passes first.
    bool readToEnd(std::string& text, std::chrono::steady_clock::time_point deadline);

  private:
    enum class Fill { data, end, timeout };
    // Waits for and appends the next chunk.
    Fill fill(std::chrono::steady_clock::time_point deadline);

    int descriptor_;
    std::string buffered_;
};

}  // namespace live_desktop
