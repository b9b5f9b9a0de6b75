// The built program, run as the host runs it.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/desktop_log.h"
#include "support/process_runner.h"

namespace fieldpilot::test {
namespace {

constexpr const char* kDesktop = R"({"frontmost": 7,
  "apps": [{"pid": 7, "name": "Chat", "bundleId": "com.example.chat",
            "AXFocusedUIElement": {"element": "field"}}],
  "elements": {"field": {"pid": 7, "AXRole": "AXTextField", "AXValue": "hi\nthere"}}})";
constexpr const char* kUntrustedDesktop = R"({"trusted": false, "frontmost": 7,
  "apps": [{"pid": 7, "AXFocusedUIElement": null}]})";

nlohmann::json replyOf(const ProgramResult& result) {
    return nlohmann::json::parse(result.standardOutput);
}

TEST(Dispatch, WithoutAWordRunsTheFocusedReport) {
    const ProgramResult bare = runFieldpilot({.args = {}, .desktop = kDesktop});
    const ProgramResult named = runFieldpilot({.args = {"focused"}, .desktop = kDesktop});
    EXPECT_EQ(bare.exitStatus, 0);
    EXPECT_EQ(bare.standardOutput, named.standardOutput);
    EXPECT_EQ(replyOf(bare)["role"], "AXTextField");
}

TEST(Dispatch, AnswersOneLineEndingInOneLineFeed) {
    const ProgramResult result = runFieldpilot({.args = {"focused"}, .desktop = kDesktop});
    EXPECT_EQ(std::count(result.standardOutput.begin(), result.standardOutput.end(), '\n'), 1);
    EXPECT_TRUE(result.standardOutput.ends_with("}\n"));
    EXPECT_EQ(replyOf(result)["value"], "hi\nthere");
    EXPECT_EQ(result.standardError, "");
}

TEST(Dispatch, MatchesWordsExactly) {
    for (const std::string word : {"Focused", "FOCUSED", "focused ", "", "--blind", "help"}) {
        const ProgramResult result = runFieldpilot({.args = {word, "7"}, .desktop = kDesktop});
        EXPECT_EQ(result.exitStatus, 1) << word;
        EXPECT_EQ(replyOf(result), (nlohmann::json{{"error", "unknown command " + word}}));
    }
}

TEST(Dispatch, TheTrustGateAnswersEveryWordBeforeAnythingElse) {
    for (const std::string word : {"focused", "dump", "set", "paste", "copy", "focusfield",
                                   "clearfield", "activate", "window", "nonsense", ""}) {
        const ProgramResult result = runFieldpilot(
            {.args = {word, "7", "all"}, .desktop = kUntrustedDesktop, .standardInput = "text"});
        EXPECT_EQ(result.exitStatus, 2) << word;
        EXPECT_EQ(result.standardOutput, "{\"error\":\"accessibility_not_trusted\"}\n") << word;
        EXPECT_EQ(result.unreadInput, 4u) << word;
        EXPECT_TRUE(logEntries(result.savedDesktop, "read").empty()) << word;
        EXPECT_TRUE(logEntries(result.savedDesktop, "write").empty()) << word;
    }
}

TEST(Dispatch, SavesTheDesktopLogOnEveryEnding) {
    const ProgramResult success = runFieldpilot({.args = {"focused"}, .desktop = kDesktop});
    const ProgramResult failure = runFieldpilot({.args = {"nonsense"}, .desktop = kDesktop});
    const ProgramResult silent = runFieldpilot({.args = {"dump"}, .desktop = R"({"apps": []})"});
    const ProgramResult gate = runFieldpilot({.args = {"focused"}, .desktop = kUntrustedDesktop});
    EXPECT_EQ(silent.exitStatus, 1);
    EXPECT_EQ(silent.standardOutput, "");
    for (const auto* result : {&success, &failure, &silent, &gate}) {
        ASSERT_FALSE(result->savedDesktop.is_null());
        EXPECT_EQ(logEntries(result->savedDesktop, "start").size(), 1u);
    }
    EXPECT_FALSE(readsOf(success.savedDesktop, "app:7", "AXFocusedUIElement").empty());
}

TEST(Dispatch, PrintsTheDumpReportAsTextWithOneLineFeed) {
    const ProgramResult result = runFieldpilot({.args = {"dump", "0"}, .desktop = kDesktop});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput,
              "app=Chat pid=7\nfocusedUIElement: present\nno focused window\n");
}

TEST(Dispatch, RunsOnTheDemoDesktopWhenItIsNamed) {
    const ProgramResult result = runFieldpilot({.args = {}, .desktopPath = ":demo"});
    EXPECT_EQ(result.exitStatus, 0);
    const auto reply = replyOf(result);
    EXPECT_EQ(reply["app"], "Notes");
    EXPECT_EQ(reply["pid"], 4242);
    EXPECT_EQ(reply["placeholder"], "Type a note");
    EXPECT_EQ(reply["bounds"], (nlohmann::json{{"x", 100}, {"y", 80}, {"w", 900}, {"h", 640}}));
}

TEST(Dispatch, TheLiveDesktopWithoutADisplayOrBusIsNotTrusted) {
    const ProgramResult result =
        runFieldpilot({.args = {"focused"},
                       .unsetVariables = {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS",
                                          "AT_SPI_BUS_ADDRESS"}});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(replyOf(result), (nlohmann::json{{"error", "accessibility_not_trusted"}}));
}

TEST(Dispatch, ADesktopThatCannotBeLoadedEndsWithStatusOneAndNoReply) {
    const ProgramResult missing =
        runFieldpilot({.args = {"focused"}, .desktopPath = "/nonexistent/desktop.json"});
    const ProgramResult malformed = runFieldpilot({.args = {"focused"}, .desktop = "{\"apps\": ["});
    for (const auto* result : {&missing, &malformed}) {
        EXPECT_EQ(result->exitStatus, 1);
        EXPECT_EQ(result->standardOutput, "");
        EXPECT_NE(result->standardError, "");
    }
    EXPECT_NE(missing.standardError.find("/nonexistent/desktop.json"), std::string::npos);
}

}  // namespace
}  // namespace fieldpilot::test
