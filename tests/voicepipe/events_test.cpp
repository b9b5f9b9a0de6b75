// Event lines: one valid compact JSON object per line, whole even when threads write at once or
// the host's pipe is non-blocking.
#include "events.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

namespace voicepipe {
namespace {

std::vector<std::string> linesOf(std::FILE* file) {
    std::rewind(file);
    std::vector<std::string> lines;
    char* line = nullptr;
    std::size_t capacity = 0;
    for (ssize_t length; (length = getline(&line, &capacity, file)) > 0;) {
        lines.emplace_back(line, static_cast<std::size_t>(length));
    }
    std::free(line);
    return lines;
}

TEST(Emit, LinesFromTwoThreadsNeverInterleave) {
    std::FILE* file = std::tmpfile();
    constexpr int kLinesPerThread = 2000;
    const std::string longText(300, 'x');
    std::thread capture([&] {
        for (int i = 0; i < kLinesPerThread; ++i)
            emit(file, {{"level", 0.25}});
    });
    for (int i = 0; i < kLinesPerThread; ++i)
        emit(file, {{"partial", longText}});
    capture.join();

    const std::vector<std::string> lines = linesOf(file);
    ASSERT_EQ(lines.size(), 2u * kLinesPerThread);
    for (const std::string& line : lines) {
        ASSERT_EQ(line.back(), '\n');
        const auto event = nlohmann::json::parse(line, nullptr, false);
        ASSERT_TRUE(event.is_object() && event.size() == 1) << line;
    }
    std::fclose(file);
}

// A host may hand over a non-blocking pipe that it drains slowly: the line still arrives whole.
TEST(Emit, WaitsOutANonBlockingPipeThatIsFull) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(fcntl(ends[1], F_SETFL, O_NONBLOCK), 0);
    const int capacity = fcntl(ends[0], F_GETPIPE_SZ);
    const std::string text(3 * static_cast<std::size_t>(capacity), 'x');
    std::thread host([writer = ends[1], &text] {
        std::FILE* stream = fdopen(writer, "w");
        emit(stream, {{"partial", text}});
        std::fclose(stream);
    });

    // Read only once the pipe is full, so that the writer has met a refusal.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (int queued = 0; queued < capacity && std::chrono::steady_clock::now() < giveUp;) {
        std::this_thread::yield();
        ASSERT_EQ(ioctl(ends[0], FIONREAD, &queued), 0);
    }
    std::string received;
    char chunk[4096];
    for (ssize_t count; (count = read(ends[0], chunk, sizeof chunk)) > 0;)
        received.append(chunk, static_cast<std::size_t>(count));
    host.join();
    close(ends[0]);

    const std::string expected = "{\"partial\":\"" + text + "\"}\n";
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_TRUE(received == expected);
}

}  // namespace
}  // namespace voicepipe
