// Event lines: one valid compact JSON object per line, whole even when threads write at once.
#include "events.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace voicepipe
