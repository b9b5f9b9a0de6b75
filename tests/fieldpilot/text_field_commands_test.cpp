// "set", "paste", "copy", "focusfield" and "clearfield" on the simulated desktop: their guards in
// order, every error reply, the keystrokes they post and the waits between them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "command.h"
#include "platform/sim/sim_desktop.h"
#include "support/desktop_log.h"

namespace fieldpilot {
namespace {

using nlohmann::json;
using sim::SimDesktop;
using testing::IsEmpty;
using testing::SizeIs;

long micros(const json& entry) {
    return std::lround(entry.at("t").get<double>() * 1e6);
}

// Pid 501 edits "hello" (caret at its end) in a focused text area while pid 600, which has no
// window, is in front; pid 502 has terminated; the clipboard holds "world".
json editor(const std::vector<std::pair<std::string, json>>& changes = {}) {
    json desktop = json::parse(R"({"frontmost": 600, "clipboard": "world",
        "apps": [{"pid": 600}, {"pid": 502, "terminated": true}, {"pid": 501,
                 "AXFocusedWindow": {"element": "w"}, "AXFocusedUIElement": {"element": "field"}}],
        "elements": {
          "w": {"pid": 501, "AXRole": "AXWindow", "AXChildren": [{"element": "field"}]},
          "field": {"pid": 501, "AXRole": "AXTextArea", "AXValue": "hello", "AXFocused": true,
                    "selection": [5, 0]}}})");
    for (const auto& [pointer, value] : changes)
        desktop[json::json_pointer(pointer)] = value;
    return desktop;
}

struct Outcome {
    Ending::Kind kind;
    int status;
    json reply;
    json desktop;
    int inputReads;

    json fieldValue() const { return desktop.at("elements").at("field").at("AXValue"); }
    std::vector<json> keys() const { return test::logEntries(desktop, "key"); }
};

Outcome run(Command command, const json& desktopFile, Args args, const std::string& input = "") {
    auto desktop = SimDesktop::fromText(desktopFile.dump());
    args.insert(args.begin(), "fieldpilot");
    int inputReads = 0;
    Context context{*desktop, args, [&] {
                        ++inputReads;
                        return input;
                    }};
    const Ending ending = command(context);
    return {ending.kind, ending.status, test::toNlohmann(ending.reply), desktop->snapshot(),
            inputReads};
}

TEST(TextFieldCommands, RefuseInTheirDocumentedOrderWithoutTypingAnything) {
    const json pasteUsage{{"error", "usage: fieldpilot paste <pid> all|selection"}};
    const json notRunning{{"error", "app_not_running"}};
    const json secureInput{{"error", "secure_input"}};
    const json notFrontmost{{"error", "target_not_frontmost"}, {"frontPid", 600}};
    const json clearRefused{{"error", "target_not_frontmost"}};
    const std::pair<std::string, json> secure{"/secureInput", true};
    const std::pair<std::string, json> refusing{"/apps/2/activation", "refuse"};
    // The workspace sees 501 come to the front and then another application take its place.
    const std::pair<std::string, json> overtaken{
        "/systemWide/AXFocusedApplication",
        {{"reads",
          {{{"element", "app:600"}}, {{"element", "app:501"}}, {{"element", "app:600"}}}}}};
    const std::vector<std::tuple<Command, json, Args, json>> cases = {
        {pasteCommand, editor(), {"paste", "501"}, pasteUsage},
        {pasteCommand, editor({secure}), {"paste", "+x", "all"}, pasteUsage},
        {pasteCommand, editor({secure}), {"paste", "777", "all"}, notRunning},
        {pasteCommand, editor({secure}), {"paste", "502", "all"}, notRunning},
        {pasteCommand, editor({secure, refusing}), {"paste", "501", "all"}, secureInput},
        {pasteCommand, editor({refusing}), {"paste", "501", "all"}, notFrontmost},
        {pasteCommand, editor({overtaken}), {"paste", "501", "all"}, notFrontmost},
        {copyCommand, editor({secure}), {"copy", "all", "bad"}, secureInput},
        {copyCommand, editor(), {"copy", "all", "501"}, notFrontmost},  // never activates
        {clearfieldCommand, editor(), {"clearfield"}, clearRefused},
        {clearfieldCommand, editor(), {"clearfield", "x"}, clearRefused},
        {clearfieldCommand, editor({refusing}), {"clearfield", "501"}, clearRefused},
        {clearfieldCommand, editor({overtaken}), {"clearfield", "501"}, clearRefused},
        // 0 stands for an unknown frontmost application, never for the target.
        {copyCommand,
         editor({{"/frontmost", nullptr}}),
         {"copy", "all", "0"},
         {{"error", "target_not_frontmost"}, {"frontPid", 0}}},
        {clearfieldCommand, editor({{"/frontmost", nullptr}}), {"clearfield", "0"}, clearRefused},
    };
    for (const auto& [command, desktop, args, reply] : cases) {
        const Outcome outcome = run(command, desktop, args);
        EXPECT_EQ(outcome.reply, reply) << testing::PrintToString(args);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_THAT(outcome.keys(), IsEmpty());
    }
}

TEST(SetCommand, SetsTheTextExactlyAsReadAndReadsItBack80MillisecondsLater) {
    const Outcome outcome = run(setCommand, editor(), {"set", "501"}, "line one\n");
    EXPECT_EQ(outcome.reply, (json{{"set", true}, {"axError", 0}, {"value", "line one\n"}}));
    EXPECT_EQ(outcome.fieldValue(), "line one\n");
    const auto write = test::writesOf(outcome.desktop, "field", "AXValue").at(0);
    EXPECT_EQ(micros(test::readsOf(outcome.desktop, "field", "AXValue").back()),
              micros(write) + 80'000);
}

TEST(SetCommand, SetsEmptyInputButRefusesInputThatIsNotUtf8) {
    EXPECT_EQ(run(setCommand, editor(), {"set", "501"}, "").fieldValue(), "");
    for (const std::string input : {"caf\xC3", "\xED\xA0\x80", "\xC0\xAF"}) {
        const Outcome outcome = run(setCommand, editor(), {"set", "501"}, input);
        EXPECT_EQ(outcome.reply, (json{{"error", "stdin_not_utf8"}}))
            << testing::PrintToString(input);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.fieldValue(), "hello");
    }
    EXPECT_EQ(run(setCommand, editor(), {"set", "501"}, "caf\xC3\xA9").fieldValue(), "caf\xC3\xA9");
}

TEST(SetCommand, NeverWritesIntoAnotherApplicationsField) {
    // The target answers nothing; the system-wide element offers the field of pid 600 in front.
    const json desktop = editor({{"/apps/2/AXFocusedUIElement", nullptr},
                                 {"/apps/2/AXFocusedWindow", nullptr},
                                 {"/systemWide/AXFocusedUIElement", {{"element", "other"}}},
                                 {"/elements/other", {{"pid", 600}, {"AXValue", "mine"}}}});
    for (const char* pid : {"501", "999999"}) {
        const Outcome outcome = run(setCommand, desktop, {"set", pid}, "dictated");
        EXPECT_EQ(outcome.reply.at("error"), "no_focused_element") << pid;
        EXPECT_EQ(outcome.reply.at("diagnostics").at("via"), "system") << pid;
        EXPECT_THAT(test::writesOf(outcome.desktop, "other", "AXValue"), IsEmpty()) << pid;
    }
}

TEST(SetCommand, WaitsPatientlyForAnApplicationThatAnswersLate) {
    // The fifth question, 0.6 s in, is the first answered; there is no window to search.
    const json late{{"reads", {nullptr, nullptr, nullptr, nullptr, {{"element", "field"}}}}};
    const Outcome outcome =
        run(setCommand,
            editor({{"/apps/2/AXFocusedUIElement", late}, {"/apps/2/AXFocusedWindow", nullptr}}),
            {"set", "501"}, "late");
    EXPECT_EQ(outcome.reply, (json{{"set", true}, {"axError", 0}, {"value", "late"}}));
    EXPECT_EQ(micros(test::writesOf(outcome.desktop, "field", "AXValue").at(0)), 600'000);
}

TEST(SetCommand, ReportsARefusedWriteWithSuccessStatus) {
    const Outcome outcome = run(setCommand, editor({{"/elements/field/setErrors/AXValue", -25200}}),
                                {"set", "501"}, "x");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.reply, (json{{"set", false}, {"axError", -25200}, {"value", "hello"}}));
}

TEST(SetCommand, ReadsInputOnlyForAValidPid) {
    for (const Args& args : {Args{"set"}, Args{"set", "12x"}, Args{"set", ""}}) {
        const Outcome outcome = run(setCommand, editor(), args, "text");
        EXPECT_EQ(outcome.reply, (json{{"error", "usage: fieldpilot set <pid> < text"}}));
        EXPECT_EQ(outcome.inputReads, 0);
    }
    const Outcome noApplication = run(setCommand, editor(), {"set", "777"}, "text");
    EXPECT_EQ(noApplication.inputReads, 1);
    EXPECT_EQ(noApplication.status, 1);
    EXPECT_EQ(noApplication.reply.at("error"), "no_focused_element");
    EXPECT_TRUE(noApplication.reply.at("diagnostics").contains("manualAccessibility"));
}

TEST(PasteCommand, SelectsAllOnlyForTheModeAll) {
    const Outcome all = run(pasteCommand, editor(), {"paste", "501", "all"});
    EXPECT_EQ(all.reply, (json{{"pasted", true}, {"modifiersReleased", true}}));
    EXPECT_EQ(all.fieldValue(), "world");
    const auto keys = all.keys();
    ASSERT_THAT(keys, SizeIs(8));
    EXPECT_EQ(keys[1].at("code"), 0);
    EXPECT_EQ(keys[5].at("code"), 9);
    EXPECT_EQ(micros(keys[4]) - micros(keys[3]), 12'000 + 90'000);

    for (const std::string mode : {"ALL", "selection"}) {
        const Outcome atCaret = run(pasteCommand, editor(), {"paste", "501", mode});
        EXPECT_EQ(atCaret.fieldValue(), "helloworld") << mode;
        EXPECT_THAT(atCaret.keys(), SizeIs(4));
    }
}

TEST(PasteCommand, PastesEvenWhenAModifierIsStillHeldAfterTheWait) {
    const Outcome outcome =
        run(pasteCommand, editor({{"/modifiers", R"([{"until": 9, "flags": 131072}])"_json}}),
            {"paste", "501", "selection"});
    EXPECT_EQ(outcome.reply, (json{{"pasted", true}, {"modifiersReleased", false}}));
    // Activation is confirmed at the first 50 ms check; then the wait runs its full 1.2 s.
    EXPECT_EQ(micros(outcome.keys().at(0)), 50'000 + 1'200'000);
}

TEST(CopyCommand, RunsThePlainCopyForEveryShapeButAllAndAValidPid) {
    for (const Args& args : {Args{"copy"}, Args{"copy", "all"}, Args{"copy", "all", "5x"},
                             Args{"copy", "ALL", "501"}, Args{"copy", "selection", "501"}}) {
        const Outcome outcome = run(copyCommand, editor(), args);
        EXPECT_EQ(outcome.reply, (json{{"copied", true}, {"modifiersReleased", true}}));
        ASSERT_THAT(outcome.keys(), SizeIs(4));
        EXPECT_EQ(outcome.keys()[1].at("code"), 8);
    }
}

TEST(CopyCommand, CopyAllSelectsCopiesAndCollapsesTheSelection) {
    const Outcome outcome = run(copyCommand, editor({{"/frontmost", 501}}), {"copy", "all", "501"});
    EXPECT_EQ(outcome.reply, (json{{"copied", true}, {"all", true}, {"modifiersReleased", true}}));
    EXPECT_EQ(outcome.desktop.at("clipboard"), "hello");
    const auto keys = outcome.keys();
    ASSERT_THAT(keys, SizeIs(10));
    EXPECT_EQ(keys[8].at("code"), 124);
    EXPECT_EQ(keys[8].at("flags"), 0);
    EXPECT_EQ(micros(keys[4]) - micros(keys[3]), 12'000 + 90'000);
    EXPECT_EQ(micros(keys[8]) - micros(keys[7]), 12'000 + 120'000);
}

TEST(ClearfieldCommand, BringsTheTargetForwardThenSelectsAllAndDeletes) {
    const Outcome outcome = run(clearfieldCommand, editor(), {"clearfield", "501"});
    EXPECT_EQ(outcome.reply, (json{{"cleared", true}}));
    EXPECT_EQ(outcome.fieldValue(), "");
    const auto keys = outcome.keys();
    ASSERT_THAT(keys, SizeIs(6));
    EXPECT_EQ(keys[4].at("code"), 51);
    EXPECT_EQ(keys[4].at("flags"), 0);
    EXPECT_EQ(micros(keys[4]) - micros(keys[3]), 12'000 + 90'000);
}

// A desktop that types no keys (or a terminal that must not get the Delete) clears nothing.
TEST(ClearfieldCommand, ReportsNothingClearedWhenTheDeleteCannotBePosted) {
    const Outcome outcome =
        run(clearfieldCommand, editor({{"/keyboardEvents", false}}), {"clearfield", "501"});
    EXPECT_EQ(outcome.reply, (json{{"cleared", false}}));
    EXPECT_EQ(outcome.fieldValue(), "hello");
}

// A window "w" of pid 501 whose children are the given elements (id to role), in order, each
// one level below the window, plus a group "g" holding `nested`.
json windowHolding(const std::vector<std::pair<std::string, std::string>>& children,
                   const std::vector<std::pair<std::string, std::string>>& nested = {}) {
    json elements = json::object();
    json window{{"pid", 501}, {"AXRole", "AXWindow"}, {"AXChildren", json::array()}};
    json group{{"pid", 501}, {"AXRole", "AXGroup"}, {"AXChildren", json::array()}};
    for (const auto& [id, role] : children) {
        window["AXChildren"].push_back({{"element", id}});
        elements[id] = {{"pid", 501}, {"AXRole", role}};
    }
    for (const auto& [id, role] : nested) {
        group["AXChildren"].push_back({{"element", id}});
        elements[id] = {{"pid", 501}, {"AXRole", role}};
    }
    window["AXChildren"].push_back({{"element", "g"}});
    elements["w"] = window;
    elements["g"] = group;
    return {{"apps", {{{"pid", 600}}, {{"pid", 501}, {"AXMainWindow", {{"element", "w"}}}}}},
            {"elements", elements}};
}

std::string focusedBy(const Outcome& outcome) {
    for (const auto& [id, element] : outcome.desktop.at("elements").items()) {
        if (element.value("AXFocused", false))
            return id;
    }
    return "";
}

TEST(FocusfieldCommand, FocusesTheLastTextAreaElseTheFirstTextFieldInBreadthFirstOrder) {
    const Outcome areas = run(focusfieldCommand,
                              windowHolding({{"f1", "AXTextField"}, {"a1", "AXTextArea"}},
                                            {{"a2", "AXTextArea"}, {"f2", "AXTextField"}}),
                              {"focusfield", "501"});
    EXPECT_EQ(areas.reply, (json{{"focused", true}, {"role", "AXTextArea"}}));
    EXPECT_EQ(focusedBy(areas), "a2");
    EXPECT_EQ(test::writesOf(areas.desktop, "app:501", "AXManualAccessibility").at(0).at("value"),
              true);

    const Outcome fields =
        run(focusfieldCommand, windowHolding({{"f1", "AXTextField"}}, {{"f2", "AXTextField"}}),
            {"focusfield", "501"});
    EXPECT_EQ(focusedBy(fields), "f1");
}

TEST(FocusfieldCommand, ExaminesAtMost6000Elements) {
    // Every reference to an element is examined on its own, so one label can fill the window.
    std::vector<std::pair<std::string, std::string>> children(5998, {"label", "AXStaticText"});
    children.emplace_back("lastExamined", "AXTextField");  // the window's 5999th child
    children.emplace_back("beyond", "AXTextArea");
    const Outcome outcome = run(focusfieldCommand, windowHolding(children), {"focusfield", "501"});
    EXPECT_EQ(outcome.reply, (json{{"focused", true}, {"role", "AXTextField"}}));
    EXPECT_EQ(focusedBy(outcome), "lastExamined");
}

TEST(FocusfieldCommand, FailsSilentlyForABadPidAndRepliesNoTextFieldOtherwise) {
    for (const Args& args : {Args{"focusfield"}, Args{"focusfield", "5 "}}) {
        const Outcome outcome = run(focusfieldCommand, editor(), args);
        EXPECT_EQ(outcome.kind, Ending::Kind::Silent);
        EXPECT_EQ(outcome.status, 1);
    }
    EXPECT_EQ(run(focusfieldCommand, editor(), {"focusfield", "600"}).reply,
              (json{{"error", "no_text_field"}}));
    EXPECT_EQ(
        run(focusfieldCommand, windowHolding({{"b", "AXButton"}}), {"focusfield", "501"}).reply,
        (json{{"error", "no_text_field"}}));
}

TEST(FocusfieldCommand, ReportsARefusedFocusChangeWithSuccessStatus) {
    const Outcome outcome =
        run(focusfieldCommand, editor({{"/elements/field/setErrors/AXFocused", -25200}}),
            {"focusfield", "501"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.reply, (json{{"focused", false}, {"role", "AXTextArea"}}));
}

}  // namespace
}  // namespace fieldpilot
