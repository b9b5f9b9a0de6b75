#include "focus_discovery.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "element_access.h"
#include "platform/sim/sim_desktop.h"
#include "support/desktop_log.h"

namespace fieldpilot {
namespace {

using sim::SimDesktop;
using test::readsOf;
using test::toNlohmann;
using test::writesOf;

// Pid 7 with a window "w" that holds a focused text field "field"; `focusAnswer` is how the
// application answers "AXFocusedUIElement".
std::unique_ptr<SimDesktop> appAnswering(const std::string& focusAnswer,
                                         const std::string& systemWide = "{}") {
    return SimDesktop::fromText(R"({"apps": [{"pid": 7, "AXFocusedWindow": {"element": "w"},
        "AXFocusedUIElement": )" +
                                focusAnswer + R"(}],
        "systemWide": )" + systemWide +
                                R"(,
        "elements": {
          "w": {"pid": 7, "AXRole": "AXWindow", "AXChildren": [{"element": "field"}]},
          "field": {"pid": 7, "AXRole": "AXTextField", "AXFocused": true, "AXTitle": "field"},
          "other": {"pid": 9, "AXTitle": "other"}}})");
}

std::vector<std::string> keysOf(const json::Object& object) {
    std::vector<std::string> keys;
    for (const auto& [key, value] : object)
        keys.push_back(key);
    return keys;
}

std::optional<std::string> titleOf(Desktop& desktop, const FocusResult& result) {
    if (!result.element)
        return std::nullopt;
    return string(desktop, *result.element, "AXTitle");
}

TEST(FocusDiscovery, ADirectAnswerNeedsNoPauseAndNoOtherQuestion) {
    auto desktop = appAnswering(R"({"element": "field"})");
    const FocusResult result = findFocusedElement(*desktop, desktop->createApplicationElement(7));
    EXPECT_EQ(toNlohmann(result.diagnostics),
              (nlohmann::json{{"manualAccessibility", 0}, {"via", "app"}}));
    EXPECT_EQ(titleOf(*desktop, result), "field");
    EXPECT_EQ(desktop->now().count(), 0);
    EXPECT_TRUE(readsOf(desktop->snapshot(), "system", "AXFocusedUIElement").empty());
}

TEST(FocusDiscovery, ASecondPassHitCarriesTheFirstPassStatusesOnly) {
    // The system-wide answer is taken even though it belongs to another application.
    auto desktop =
        appAnswering(R"({"error": -25212})",
                     R"({"AXFocusedUIElement": {"reads": [null, {"element": "other"}]}})");
    const FocusResult result = findFocusedElement(*desktop, desktop->createApplicationElement(7));
    EXPECT_EQ(toNlohmann(result.diagnostics), (nlohmann::json{{"manualAccessibility", 0},
                                                              {"appError", -25212},
                                                              {"systemError", 0},
                                                              {"via", "system"}}));
    EXPECT_EQ(titleOf(*desktop, result), "other");
    EXPECT_EQ(desktop->now(), platform::Micros(150000));
}

TEST(FocusDiscovery, AnAnswerThatNeedsEnhancedUIKeepsItOn) {
    auto desktop = appAnswering(
        R"({"when": {"AXEnhancedUserInterface": true}, "then": {"element": "field"}, "else": null})");
    const FocusResult result = findFocusedElement(*desktop, desktop->createApplicationElement(7));
    EXPECT_THAT(keysOf(result.diagnostics),
                testing::ElementsAre("manualAccessibility", "appError", "systemError", "enhancedUI",
                                     "via", "keptEnhancedUI"));
    EXPECT_EQ(*result.diagnostics.find("appError"), json::Value(0));
    EXPECT_EQ(titleOf(*desktop, result), "field");
    const auto enhanced = writesOf(desktop->snapshot(), "app:7", "AXEnhancedUserInterface");
    ASSERT_EQ(enhanced.size(), 1u);
    EXPECT_EQ(enhanced[0]["value"], true);
}

TEST(FocusDiscovery, APatientSearchThatNeverHearsAsksTwentyTimesOverThreeSeconds) {
    auto desktop = appAnswering(R"({"error": -25212})");
    const FocusResult result = findFocusedElement(*desktop, desktop->createApplicationElement(7));
    const auto snapshot = desktop->snapshot();

    EXPECT_EQ(readsOf(snapshot, "app:7", "AXFocusedUIElement").size(), 20u);
    EXPECT_EQ(readsOf(snapshot, "system", "AXFocusedUIElement").size(), 20u);
    EXPECT_EQ(desktop->now(), platform::Micros(3000000));
    const auto enhanced = writesOf(snapshot, "app:7", "AXEnhancedUserInterface");
    ASSERT_EQ(enhanced.size(), 2u);
    EXPECT_EQ(enhanced[0]["value"], true);
    EXPECT_DOUBLE_EQ(enhanced[0]["t"].get<double>(), 0.15);
    EXPECT_EQ(enhanced[1]["value"], false);
    EXPECT_DOUBLE_EQ(enhanced[1]["t"].get<double>(), 3.0);
    // The tree search ran between the two writes and found the field.
    EXPECT_EQ(toNlohmann(result.diagnostics), (nlohmann::json{{"manualAccessibility", 0},
                                                              {"appError", -25212},
                                                              {"systemError", -25205},
                                                              {"enhancedUI", 0},
                                                              {"via", "tree"}}));
    EXPECT_EQ(titleOf(*desktop, result), "field");
}

TEST(FocusDiscovery, AnImpatientSearchMakesTwoPassesThenSearchesWithEnhancedUIOn) {
    auto desktop = appAnswering("null");
    findFocusedElement(*desktop, desktop->createApplicationElement(7), /*patient=*/false);
    const auto snapshot = desktop->snapshot();
    EXPECT_EQ(readsOf(snapshot, "app:7", "AXFocusedUIElement").size(), 2u);
    EXPECT_EQ(desktop->now(), platform::Micros(300000));
    const auto enhanced = writesOf(snapshot, "app:7", "AXEnhancedUserInterface");
    ASSERT_EQ(enhanced.size(), 2u);
    EXPECT_DOUBLE_EQ(enhanced[0]["t"].get<double>(), 0.15);
    EXPECT_EQ(enhanced[1]["value"], false);
}

TEST(FocusDiscovery, WithoutAWindowNothingIsFoundAndNoRouteIsRecorded) {
    auto desktop = SimDesktop::fromText(R"({"apps": [{"pid": 7}]})");
    const FocusResult result =
        findFocusedElement(*desktop, desktop->createApplicationElement(7), false);
    EXPECT_FALSE(result.element);
    EXPECT_FALSE(result.diagnostics.contains("via"));
    EXPECT_EQ(writesOf(desktop->snapshot(), "app:7", "AXEnhancedUserInterface").size(), 2u);
}

TEST(FocusDiscovery, SaysTheTreeIsHiddenOnlyWhenNothingWasFound) {
    auto hidden = SimDesktop::fromText(R"({"apps": [{"pid": 7, "treeHidden": true}]})");
    const FocusResult nothing =
        findFocusedElement(*hidden, hidden->createApplicationElement(7), false);
    EXPECT_EQ(*nothing.diagnostics.find("treeHidden"), json::Value(true));

    auto answering = SimDesktop::fromText(R"({"apps": [{"pid": 7, "treeHidden": true,
        "AXFocusedUIElement": {"element": "field"}}],
        "elements": {"field": {"pid": 7, "AXRole": "AXTextArea"}}})");
    const FocusResult found =
        findFocusedElement(*answering, answering->createApplicationElement(7), false);
    EXPECT_FALSE(found.diagnostics.contains("treeHidden"));
}

// The root of a tree given as "elements", reached through the application's focused window.
Element windowOf(SimDesktop& desktop) {
    return *focusedWindow(desktop, desktop.createApplicationElement(7));
}

TEST(TreeSearch, PassesOverFocusedContainersToTheFieldInside) {
    auto desktop =
        SimDesktop::fromText(R"({"apps": [{"pid": 7, "AXFocusedWindow": {"element": "w"}}],
      "elements": {
        "w": {"pid": 7, "AXRole": "AXWindow", "AXFocused": true, "AXChildren": [{"element": "web"}]},
        "web": {"pid": 7, "AXRole": "AXWebArea", "AXFocused": true,
                "AXChildren": [{"element": "group"}]},
        "group": {"pid": 7, "AXRole": "AXGroup", "AXFocused": 1,
                  "AXChildren": [{"element": "field"}]},
        "field": {"pid": 7, "AXRole": "AXTextArea", "AXFocused": true, "AXTitle": "field"}}})");
    const auto found = searchFocused(*desktop, windowOf(*desktop), 4000);
    ASSERT_TRUE(found);
    EXPECT_EQ(string(*desktop, *found, "AXTitle"), "field");
}

// A window whose children c0, c1, ... are visited in order after it; only `focusedChild` is
// focused.
std::unique_ptr<SimDesktop> wideWindow(int children, int focusedChild) {
    nlohmann::json file = {{"apps", {{{"pid", 7}, {"AXFocusedWindow", {{"element", "w"}}}}}}};
    nlohmann::json list = nlohmann::json::array();
    for (int i = 0; i < children; ++i) {
        std::string id = "c";
        id += std::to_string(i);
        list.push_back({{"element", id}});
        file["elements"][id] = {
            {"pid", 7}, {"AXRole", "AXButton"}, {"AXFocused", i == focusedChild}};
    }
    file["elements"]["w"] = {{"pid", 7}, {"AXRole", "AXWindow"}, {"AXChildren", list}};
    return SimDesktop::fromText(file.dump());
}

TEST(TreeSearch, TheBudgetCountsVisitedElementsRootIncluded) {
    auto lastWithinBudget = wideWindow(4000, 3998);  // the 4000th element visited
    EXPECT_TRUE(searchFocused(*lastWithinBudget, windowOf(*lastWithinBudget), 4000));
    auto firstBeyondBudget = wideWindow(4000, 3999);  // the 4001st
    EXPECT_FALSE(searchFocused(*firstBeyondBudget, windowOf(*firstBeyondBudget), 4000));
}

TEST(TreeSearch, TheFocusDiscoveryFallsBackOnABudgetOf4000) {
    for (const auto& [focusedChild, route] : {std::pair{3998, "tree"}, std::pair{3999, "none"}}) {
        auto desktop = wideWindow(4000, focusedChild);
        const FocusResult result =
            findFocusedElement(*desktop, desktop->createApplicationElement(7), false);
        EXPECT_EQ(*result.diagnostics.find("via"), json::Value(route)) << focusedChild;
    }
}

TEST(TreeSearch, ANonPositiveBudgetReadsNothing) {
    auto desktop = wideWindow(1, 0);
    const Element window = windowOf(*desktop);
    const std::size_t readsBefore = test::logEntries(desktop->snapshot(), "read").size();
    EXPECT_FALSE(searchFocused(*desktop, window, 0));
    EXPECT_FALSE(searchFocused(*desktop, window, -5));
    EXPECT_EQ(test::logEntries(desktop->snapshot(), "read").size(), readsBefore);
}

}  // namespace
}  // namespace fieldpilot
