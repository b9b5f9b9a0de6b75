// The built program driven as the host drives it: text on standard input for "set", shortcuts for
// "paste" and "copy", each run saving the simulated desktop that the next run starts from.
#include <gtest/gtest.h>

#include <string>

#include "support/process_runner.h"

namespace fieldpilot {
namespace {

using nlohmann::json;
using test::ProgramResult;
using test::runFieldpilot;

// Pid 501 edits "hello" in a focused text area while pid 600 is in front; the clipboard holds
// "world".
constexpr std::string_view kEditor = R"({"frontmost": 600, "clipboard": "world",
    "apps": [{"pid": 600}, {"pid": 501, "AXFocusedUIElement": {"element": "field"}}],
    "elements": {"field": {"pid": 501, "AXRole": "AXTextArea", "AXValue": "hello",
                           "AXFocused": true, "selection": [5, 0]}}})";

ProgramResult runOn(const json& desktop, std::vector<std::string> args,
                    std::optional<std::string> standardInput = std::nullopt) {
    ProgramResult result = runFieldpilot({.args = std::move(args),
                                          .desktop = desktop.dump(),
                                          .standardInput = std::move(standardInput)});
    EXPECT_TRUE(result.standardError.empty()) << result.standardError;
    return result;
}

json reply(const ProgramResult& result) {
    return json::parse(result.standardOutput);
}
json fieldValue(const ProgramResult& result) {
    return result.savedDesktop.at("elements").at("field").at("AXValue");
}

TEST(HostRoundTrip, SetTakesTheTextTheHostWroteAndClosed) {
    const std::string text = "Dear Sam,\n\tsee you at 9 \xE2\x80\x94 or later?\n";
    const ProgramResult result = runOn(json::parse(kEditor), {"set", "501"}, text);
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(reply(result), (json{{"set", true}, {"axError", 0}, {"value", text}}));
    EXPECT_EQ(fieldValue(result), text);
}

TEST(HostRoundTrip, SetWithABadPidLeavesTheTextUnread) {
    const ProgramResult result = runOn(json::parse(kEditor), {"set", "50l"}, "unused");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(reply(result), (json{{"error", "usage: fieldpilot set <pid> < text"}}));
    EXPECT_EQ(result.unreadInput, 6u);
    EXPECT_EQ(fieldValue(result), "hello");
}

TEST(HostRoundTrip, PasteAllReplacesTheFieldWithTheClipboard) {
    const ProgramResult result = runOn(json::parse(kEditor), {"paste", "501", "all"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(reply(result), (json{{"pasted", true}, {"modifiersReleased", true}}));
    EXPECT_EQ(fieldValue(result), "world");
    EXPECT_EQ(result.savedDesktop.at("frontmost"), 501);
}

TEST(HostRoundTrip, CopyAllPutsTheFieldsTextOnTheClipboard) {
    json desktop = json::parse(kEditor);
    desktop["frontmost"] = 501;
    const ProgramResult result = runOn(desktop, {"copy", "all", "501"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(reply(result), (json{{"copied", true}, {"all", true}, {"modifiersReleased", true}}));
    EXPECT_EQ(result.savedDesktop.at("clipboard"), "hello");
}

TEST(HostRoundTrip, SetThenPasteThenCopyCarryTheTextAcrossRuns) {
    const ProgramResult set = runOn(json::parse(kEditor), {"set", "501"}, "Hello, ");
    const ProgramResult paste = runOn(set.savedDesktop, {"paste", "501", "selection"});
    EXPECT_EQ(fieldValue(paste), "Hello, world");
    const ProgramResult copy = runOn(paste.savedDesktop, {"copy", "all", "501"});
    EXPECT_EQ(copy.exitStatus, 0);
    EXPECT_EQ(copy.savedDesktop.at("clipboard"), "Hello, world");
    EXPECT_EQ(fieldValue(copy), "Hello, world");
}

}  // namespace
}  // namespace fieldpilot
