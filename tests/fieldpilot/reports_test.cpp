#include "reports.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"
#include "support/desktop_log.h"

namespace fieldpilot {
namespace {

using sim::SimDesktop;
using test::readsOf;
using test::toNlohmann;
using test::writesOf;

// "Chat" (pid 7) is frontmost; its window holds the focused element "field", whose attributes
// are `fieldAttributes`.
std::unique_ptr<SimDesktop> chatDesktop(const std::string& fieldAttributes,
                                        const std::string& appExtra = "") {
    return SimDesktop::fromText(R"({"frontmost": 7,
      "apps": [{"pid": 7, "name": "Chat", "bundleId": "com.example.chat",
                "bundlePath": "/Applications/Chat.app", "AXFocusedWindow": {"element": "w"},
                "AXFocusedUIElement": {"element": "field"})" +
                                appExtra + R"(}],
      "files": ["/Applications/Chat.app/Contents/Resources/app.asar"],
      "elements": {
        "w": {"pid": 7, "AXRole": "AXWindow", "AXPosition": {"point": [10.5, -20.5]},
              "AXSize": {"size": [800, 600]}, "AXChildren": [{"element": "field"}]},
        "field": {"pid": 7, "AXRole": "AXTextArea", "AXFocused": true, )" +
                                fieldAttributes + "}}}");
}

Ending run(Command command, SimDesktop& desktop, Args args) {
    args.insert(args.begin(), "fieldpilot");
    Context context{desktop, args, [] { return std::string(); }};
    return command(context);
}

TEST(FocusedReport, DescribesTheFrontmostApplicationAndItsFocusedElement) {
    auto desktop = chatDesktop(R"("AXSubrole": "AXNote", "AXValue": "hello",
        "AXPlaceholderValue": "Say something", "AXSelectedText": "ell", "settable": ["AXValue"])");
    const Ending ending = run(focusedCommand, *desktop, {"focused"});
    EXPECT_EQ(ending.status, 0);
    EXPECT_EQ(toNlohmann(ending.reply), nlohmann::json::parse(R"({
        "app": "Chat", "bundleId": "com.example.chat", "pid": 7,
        "bounds": {"x": 10, "y": -20, "w": 800, "h": 600}, "electron": true,
        "diagnostics": {"manualAccessibility": 0, "via": "app"},
        "role": "AXTextArea", "subrole": "AXNote", "placeholder": "Say something",
        "value": "hello", "selectedText": "ell", "valueSettable": true})"));
}

TEST(FocusedReport, HidesAValueThatOnlyRepeatsThePlaceholder) {
    auto placeholderShown =
        chatDesktop(R"("AXValue": "Say something", "AXPlaceholderValue": "Say something")");
    const auto reply = toNlohmann(run(focusedCommand, *placeholderShown, {}).reply);
    EXPECT_EQ(reply["value"], "");
    EXPECT_EQ(reply["placeholder"], "Say something");

    auto noPlaceholder = chatDesktop(R"("AXValue": "", "AXPlaceholderValue": "")");
    EXPECT_EQ(toNlohmann(run(focusedCommand, *noPlaceholder, {}).reply)["value"], "");
}

TEST(FocusedReport, LeavesOutTextsThatCouldNotBeReadAndSaysWhy) {
    auto unreadable = chatDesktop(R"("AXValue": {"error": -25204},
        "AXSelectedText": {"error": -25202})");
    const Ending ending = run(focusedCommand, *unreadable, {});
    EXPECT_EQ(ending.status, 0);
    const auto reply = toNlohmann(ending.reply);
    EXPECT_FALSE(reply.contains("value"));
    EXPECT_FALSE(reply.contains("selectedText"));
    EXPECT_EQ(reply["diagnostics"]["valueError"], -25204);
    EXPECT_EQ(reply["diagnostics"]["selectedTextError"], -25202);

    // An element without such a value has an empty one.
    auto valueless = chatDesktop(R"("AXValue": {"error": -25212})");
    const auto valuelessReply = toNlohmann(run(focusedCommand, *valueless, {}).reply);
    EXPECT_EQ(valuelessReply["value"], "");
    EXPECT_EQ(valuelessReply["selectedText"], "");
    EXPECT_FALSE(valuelessReply["diagnostics"].contains("valueError"));
}

TEST(FocusedReport, WithoutAFocusedElementStillSucceedsWithEmptyMembers) {
    auto desktop = SimDesktop::fromText(R"({"frontmost": 7, "apps": [{"pid": 7,
        "bundleId": "com.example.chat", "AXFocusedUIElement": {"error": -25212}}]})");
    const Ending ending = run(focusedCommand, *desktop, {"focused", "--blind", "com.example.chat"});
    EXPECT_EQ(ending.status, 0);
    auto reply = toNlohmann(ending.reply);
    EXPECT_EQ(reply["diagnostics"]["appError"], -25212);
    reply.erase("diagnostics");
    EXPECT_EQ(reply, nlohmann::json::parse(R"({"app": "", "bundleId": "com.example.chat",
        "pid": 7, "role": "", "value": "", "selectedText": "", "valueSettable": false})"));
}

TEST(FocusedReport, FailsWhenNoApplicationIsFrontmost) {
    auto desktop = SimDesktop::fromText(R"({"apps": [{"pid": 7}]})");
    const Ending ending = run(focusedCommand, *desktop, {});
    EXPECT_EQ(ending.status, 1);
    EXPECT_EQ(toNlohmann(ending.reply), (nlohmann::json{{"error", "no_frontmost_app"}}));
}

TEST(FocusedReport, TellsElectronOnlyForApplicationsWithABundle) {
    auto withoutArchive = SimDesktop::fromText(
        R"({"frontmost": 7, "apps": [{"pid": 7, "bundlePath": "/Applications/Plain.app/"}]})");
    EXPECT_EQ(toNlohmann(run(focusedCommand, *withoutArchive, {}).reply)["electron"], false);
    auto withoutBundle = SimDesktop::fromText(R"({"frontmost": 7, "apps": [{"pid": 7}]})");
    EXPECT_FALSE(run(focusedCommand, *withoutBundle, {}).reply.contains("electron"));
}

std::size_t focusQuestionsWith(Args args, const std::string& bundleId = R"("com.example.chat")") {
    auto desktop = SimDesktop::fromText(R"({"frontmost": 7, "apps": [{"pid": 7, "bundleId": )" +
                                        bundleId + R"(, "AXFocusedUIElement": null}]})");
    run(focusedCommand, *desktop, std::move(args));
    return readsOf(desktop->snapshot(), "app:7", "AXFocusedUIElement").size();
}

TEST(FocusedReport, AsksBlindApplicationsImpatiently) {
    EXPECT_EQ(focusQuestionsWith({"focused", "x", "--blind", "com.other,com.example.chat"}), 2u);
    EXPECT_EQ(focusQuestionsWith({"focused"}), 20u);
    EXPECT_EQ(focusQuestionsWith({"focused", "--blind"}), 20u);
    EXPECT_EQ(focusQuestionsWith({"focused", "--blind", ",,"}), 20u);
    EXPECT_EQ(focusQuestionsWith({"focused", "--blind", ",com.example.chat,"}, "null"), 20u);
}

TEST(BlindList, TakesTheListAfterTheFirstOptionAndDropsEmptyPieces) {
    EXPECT_THAT(blindList({"fieldpilot", "focused", "--blind", "a,,b,", "--blind", "c"}),
                testing::ElementsAre("a", "b"));
    EXPECT_THAT(blindList({"fieldpilot", "--blind", ",a"}), testing::ElementsAre("a"));
    EXPECT_TRUE(blindList({"fieldpilot", "focused", "--blind"}).empty());
    EXPECT_TRUE(blindList({"fieldpilot", "focused", "--blind", ","}).empty());
    EXPECT_TRUE(blindList({"fieldpilot", "focused", "a,b"}).empty());
}

// Depths 0 to 3; d at depth 3 is neither focused nor a text or web area, so it gets no line.
constexpr const char* kTreeDesktop = R"({"frontmost": 7,
  "apps": [{"pid": 7, "name": "Chat", "AXFocusedWindow": {"element": "w"},
            "AXFocusedUIElement": {"element": "e"}}],
  "elements": {
    "w": {"pid": 7, "AXRole": "AXWindow", "AXChildren": [{"element": "a"}, {"element": "b"}]},
    "a": {"pid": 7, "AXRole": "AXGroup", "AXSubrole": "AXPane", "AXChildren": [{"element": "c"}]},
    "b": {"pid": 7, "AXRole": "AXButton", "AXSubrole": "", "AXValue": 42, "AXChildren": null},
    "c": {"pid": 7, "AXChildren": [{"element": "d"}, {"element": "e"}, {"element": "f"},
                                   {"element": "g"}]},
    "d": {"pid": 7, "AXRole": "AXGroup", "AXChildren": [{"element": "h"}]},
    "e": {"pid": 7, "AXRole": "AXTextField", "AXValue": "e\u0301👍🏽", "AXChildren": []},
    "f": {"pid": 7, "AXRole": "AXWebArea", "AXChildren": ["not an element"]},
    "g": {"pid": 7, "AXRole": "AXButton", "AXFocused": true, "AXChildren": {"error": -25212}},
    "h": {"pid": 7, "AXRole": "AXStaticText", "AXChildren": []}}})";

TEST(DumpReport, ListsTheWindowTreeBreadthFirst) {
    auto desktop = SimDesktop::fromText(kTreeDesktop);
    const Ending ending = run(dumpCommand, *desktop, {"dump"});
    EXPECT_EQ(ending.status, 0);
    EXPECT_EQ(ending.kind, Ending::Kind::Report);
    EXPECT_EQ(ending.report,
              "app=Chat pid=7\n"
              "focusedUIElement: present\n"
              "AXWindow focused=false valueLen=0 children=2\n"
              "  AXGroup/AXPane focused=false valueLen=0 children=1\n"
              "  AXButton focused=false valueLen=2 children=0 (err 0)\n"
              "    ? focused=false valueLen=0 children=4\n"
              "      AXTextField focused=false valueLen=2 children=0\n"
              "      AXWebArea focused=false valueLen=0 children=0\n"
              "      AXButton focused=true valueLen=0 children=0 (err -25212)\n"
              "visited=9");
}

TEST(DumpReport, SwitchesEnhancedUIOnForHalfASecondBeforeLooking) {
    auto desktop = SimDesktop::fromText(kTreeDesktop);
    run(dumpCommand, *desktop, {"dump"});
    const auto snapshot = desktop->snapshot();
    const auto enhanced = writesOf(snapshot, "app:7", "AXEnhancedUserInterface");
    ASSERT_EQ(enhanced.size(), 2u);
    EXPECT_EQ(enhanced[0]["value"], true);
    EXPECT_EQ(enhanced[1]["value"], false);
    EXPECT_EQ(writesOf(snapshot, "app:7", "AXManualAccessibility").size(), 1u);
    EXPECT_DOUBLE_EQ(readsOf(snapshot, "app:7", "AXFocusedUIElement").at(0)["t"].get<double>(),
                     0.5);
}

std::string lastLine(const std::string& report) {
    return report.substr(report.rfind('\n') + 1);
}

TEST(DumpReport, ExaminesAtMostTheBudget) {
    nlohmann::json file = nlohmann::json::parse(kTreeDesktop);
    for (int i = 0; i < 400; ++i)
        file["elements"]["h"]["AXChildren"].push_back({{"element", "h"}});
    const auto visitedWith = [&](std::string budget) {
        auto desktop = SimDesktop::fromText(file.dump());
        return lastLine(run(dumpCommand, *desktop, {"dump", std::move(budget)}).report);
    };
    EXPECT_EQ(visitedWith("5"), "visited=5");
    EXPECT_EQ(visitedWith("+5"), "visited=5");
    EXPECT_EQ(visitedWith("abc"), "visited=300");
    EXPECT_EQ(visitedWith(""), "visited=300");
    auto desktop = SimDesktop::fromText(kTreeDesktop);
    for (const auto* none : {"0", "-3"}) {
        EXPECT_EQ(run(dumpCommand, *desktop, {"dump", none}).report,
                  "app=Chat pid=7\nfocusedUIElement: present\nvisited=0");
    }
}

TEST(DumpReport, SaysSoWhenThereIsNoFocusedWindow) {
    auto desktop = SimDesktop::fromText(
        R"({"frontmost": 7, "apps": [{"pid": 7, "AXFocusedUIElement": null}]})");
    EXPECT_EQ(run(dumpCommand, *desktop, {"dump"}).report,
              "app= pid=7\nfocusedUIElement: nil (0)\nno focused window");
    EXPECT_EQ(writesOf(desktop->snapshot(), "app:7", "AXEnhancedUserInterface").back()["value"],
              false);
}

TEST(DumpReport, EscapesControlCharactersSoNoApplicationCanForgeLines) {
    nlohmann::json file = nlohmann::json::parse(kTreeDesktop);
    file["apps"][0]["name"] = "Chat\nvisited=0\u001b[2J\u009b";
    file["elements"]["w"]["AXRole"] = "AXWindow\\\t";
    auto desktop = SimDesktop::fromText(file.dump());
    const std::string report = run(dumpCommand, *desktop, {"dump", "1"}).report;
    EXPECT_EQ(report,
              "app=Chat\\nvisited=0\\x1B[2J\\u{009B} pid=7\n"
              "focusedUIElement: present\n"
              "AXWindow\\\\\\t focused=false valueLen=0 children=2\n"
              "visited=1");
}

TEST(DumpReport, WritesNothingWhenNoApplicationIsFrontmost) {
    auto desktop = SimDesktop::fromText(R"({"apps": [{"pid": 7}]})");
    const Ending ending = run(dumpCommand, *desktop, {"dump"});
    EXPECT_EQ(ending.kind, Ending::Kind::Silent);
    EXPECT_EQ(ending.status, 1);
}

}  // namespace
}  // namespace fieldpilot
