#include "reply.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace fieldpilot {
namespace {

std::string written(const Ending& ending) {
    testing::internal::CaptureStdout();
    writeEnding(ending);
    return testing::internal::GetCapturedStdout();
}

TEST(Reply, IsValidJsonOnOneLineWhateverBytesTheApplicationGave) {
    const std::string line = written(
        Ending::success(json::Object{{"value", "a\xFF\xC0\xAF\n\"\x01z\xE2\x82"}, {"pid", -1}}));
    ASSERT_TRUE(line.ends_with('\n'));
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    const auto reply = nlohmann::json::parse(line);
    EXPECT_EQ(reply["value"], "a\uFFFD\uFFFD\uFFFD\n\"\x01z\uFFFD\uFFFD");
    EXPECT_EQ(reply["pid"], -1);
}

TEST(Reply, ReportsEndWithOneLineFeedAndSilentFailuresWriteNothing) {
    EXPECT_EQ(written(Ending::textReport("a\nb")), "a\nb\n");
    EXPECT_EQ(written(Ending::silentFailure()), "");
}

}  // namespace
}  // namespace fieldpilot
