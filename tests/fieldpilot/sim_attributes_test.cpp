// Reads from the simulated desktop: how each encoding of the desktop file answers, and the
// statuses of elements that do not exist.
#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

namespace fieldpilot::sim {
namespace {

using platform::AttributeRead;
using platform::Element;
using platform::Geometry;

constexpr const char* kNotesDesktop = R"({
  "frontmost": 501,
  "apps": [{"pid": 501, "name": "Notes", "AXRole": "AXApplication",
            "AXFocusedUIElement": {"element": "field"},
            "AXEnhancedUserInterface": false}],
  "elements": {
    "field": {"pid": 501,
              "AXRole": "AXTextField", "AXValue": "héllo 😀 world", "selection": [6, 2],
              "AXNumberOfCharacters": 14, "AXScale": 1.5, "AXEnabled": true,
              "AXDescription": null, "AXTitle": {"attributed": "Title"},
              "AXPosition": {"point": [-10.7, 20.9]}, "AXFrame": {"rect": [1, 2, 3, 4]},
              "AXVisibleCharacterRange": {"range": [0, 5]},
              "AXParent": {"element": "app:501"}, "AXTopLevelUIElement": {"element": "gone"},
              "AXChildren": [{"element": "label"}, 7, "text"],
              "AXHelp": {"error": -25212},
              "AXFocused": {"reads": [false, {"error": -25204}, true]},
              "AXChildrenInNavigationOrder": {"when": {"AXEnhancedUserInterface": true},
                                              "then": [{"element": "label"}], "else": []}},
    "label": {"pid": 501, "AXRole": "AXStaticText"}
  }
})";

class SimAttributes : public ::testing::Test {
  protected:
    std::unique_ptr<SimDesktop> desktop = SimDesktop::fromText(kNotesDesktop);
    Element app = desktop->createApplicationElement(501);
    Element field = fieldElement();

    Element fieldElement() {
        return *desktop->copyAttributeValue(app, "AXFocusedUIElement").value->get<Element>();
    }
    AttributeRead read(const Element& element, std::string_view name) {
        return desktop->copyAttributeValue(element, name);
    }
    platform::Value valueOf(std::string_view name) {
        const AttributeRead result = read(field, name);
        EXPECT_EQ(result.status, 0) << name;
        return result.value.value_or(platform::OtherValue{"missing"});
    }
    std::string roleOf(const Element& element) {
        return *read(element, "AXRole").value->get<std::string>();
    }
};

TEST_F(SimAttributes, PlainJsonValuesKeepTheirKinds) {
    EXPECT_EQ(*valueOf("AXValue").get<std::string>(), "héllo 😀 world");
    EXPECT_EQ(*valueOf("AXNumberOfCharacters").get<std::int64_t>(), 14);
    EXPECT_EQ(*valueOf("AXScale").get<double>(), 1.5);
    EXPECT_EQ(*valueOf("AXEnabled").get<bool>(), true);
    EXPECT_EQ(valueOf("AXTitle").get<platform::AttributedText>()->text, "Title");
}

TEST_F(SimAttributes, GeometryValuesCarryTheirTypeAndNumbers) {
    const platform::Value position = valueOf("AXPosition");
    const auto* point = position.get<Geometry>();
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->type, Geometry::Type::Point);
    EXPECT_EQ(point->numbers, (std::vector<double>{-10.7, 20.9}));
    EXPECT_EQ(valueOf("AXFrame").get<Geometry>()->type, Geometry::Type::Rect);
    EXPECT_EQ(valueOf("AXFrame").get<Geometry>()->numbers.size(), 4u);
    EXPECT_EQ(valueOf("AXVisibleCharacterRange").get<Geometry>()->type, Geometry::Type::Range);
}

TEST_F(SimAttributes, NullSucceedsWithoutValueWhileAnUnlistedAttributeIsUnsupported) {
    const AttributeRead null = read(field, "AXDescription");
    EXPECT_EQ(null.status, 0);
    EXPECT_FALSE(null.value.has_value());
    const AttributeRead unlisted = read(field, "AXPlaceholderValue");
    EXPECT_EQ(unlisted.status, -25205);
    EXPECT_FALSE(unlisted.value.has_value());
    EXPECT_EQ(read(field, "AXHelp").status, -25212);
}

TEST_F(SimAttributes, ArraysHoldElementsAndPlainValues) {
    const platform::Value children = valueOf("AXChildren");
    const auto* items = children.get<platform::Array>();
    ASSERT_NE(items, nullptr);
    ASSERT_EQ(items->size(), 3u);
    EXPECT_EQ(roleOf(*(*items)[0].get<Element>()), "AXStaticText");
    EXPECT_EQ(*(*items)[1].get<std::int64_t>(), 7);
    EXPECT_EQ(*(*items)[2].get<std::string>(), "text");
}

TEST_F(SimAttributes, ReadsSequencesAnswerInOrderThenRepeatTheLast) {
    EXPECT_EQ(*read(field, "AXFocused").value->get<bool>(), false);
    EXPECT_EQ(read(field, "AXFocused").status, -25204);
    EXPECT_EQ(*read(field, "AXFocused").value->get<bool>(), true);
    EXPECT_EQ(*read(field, "AXFocused").value->get<bool>(), true);
}

TEST_F(SimAttributes, ReadsAreCountedPerElementNotPerHandle) {
    read(field, "AXFocused");
    EXPECT_EQ(read(fieldElement(), "AXFocused").status, -25204);
}

TEST_F(SimAttributes, WhenFollowsTheApplicationsCurrentAttributes) {
    EXPECT_TRUE(valueOf("AXChildrenInNavigationOrder").get<platform::Array>()->empty());
    ASSERT_EQ(desktop->setAttributeValue(app, "AXEnhancedUserInterface", true), 0);
    EXPECT_EQ(valueOf("AXChildrenInNavigationOrder").get<platform::Array>()->size(), 1u);
    desktop->setAttributeValue(app, "AXEnhancedUserInterface", false);
    EXPECT_TRUE(valueOf("AXChildrenInNavigationOrder").get<platform::Array>()->empty());
}

TEST_F(SimAttributes, SelectedTextIsDerivedFromTheSelectionInUtf16Units) {
    // Location 6 is just before the emoji, which takes two UTF-16 units.
    EXPECT_EQ(*valueOf("AXSelectedText").get<std::string>(), "😀");
}

TEST_F(SimAttributes, ElementsThatDoNotExistFailWithTheirOwnStatus) {
    const Element gone = *valueOf("AXTopLevelUIElement").get<Element>();
    EXPECT_EQ(read(gone, "AXRole").status, -25202);
    const Element notAnApp = desktop->createApplicationElement(999);
    EXPECT_EQ(read(notAnApp, "AXRole").status, -25204);
    bool settable = false;
    EXPECT_EQ(desktop->isAttributeSettable(gone, "AXValue", settable), -25202);
    EXPECT_EQ(desktop->setAttributeValue(notAnApp, "AXFrontmost", true), -25204);
    EXPECT_EQ(read(Element(), "AXRole").status, -25201);
}

TEST_F(SimAttributes, ApplicationReferencesAreTheApplicationElement) {
    const Element parent = *valueOf("AXParent").get<Element>();
    EXPECT_EQ(roleOf(parent), "AXApplication");
}

TEST_F(SimAttributes, ProcessIdsComeFromTheElementsOwner) {
    platform::Pid pid = 0;
    EXPECT_EQ(desktop->getPid(field, pid), 0);
    EXPECT_EQ(pid, 501);
    EXPECT_EQ(desktop->getPid(desktop->createApplicationElement(777), pid), 0);
    EXPECT_EQ(pid, 777);
    pid = 0;
    EXPECT_EQ(desktop->getPid(desktop->createSystemWideElement(), pid), -25202);
    EXPECT_EQ(desktop->getPid(*valueOf("AXTopLevelUIElement").get<Element>(), pid), -25202);
    EXPECT_EQ(pid, 0);
}

TEST(SimSystemWide, FocusedApplicationDefaultsToTheFrontmostApplication) {
    auto desktop = SimDesktop::fromText(R"({"frontmost": 7, "apps": [{"pid": 7}]})");
    const Element system = desktop->createSystemWideElement();
    const AttributeRead focused = desktop->copyAttributeValue(system, "AXFocusedApplication");
    ASSERT_EQ(focused.status, 0);
    platform::Pid pid = 0;
    EXPECT_EQ(desktop->getPid(*focused.value->get<Element>(), pid), 0);
    EXPECT_EQ(pid, 7);

    auto nobodyInFront = SimDesktop::fromText(R"({"apps": [{"pid": 7}]})");
    EXPECT_EQ(
        nobodyInFront
            ->copyAttributeValue(nobodyInFront->createSystemWideElement(), "AXFocusedApplication")
            .status,
        -25212);
}

TEST(SimSystemWide, ListedFocusedApplicationAndPidWin) {
    auto desktop = SimDesktop::fromText(R"({"frontmost": 7, "apps": [{"pid": 7}],
        "systemWide": {"pid": 1, "AXFocusedApplication": {"error": -25204}}})");
    const Element system = desktop->createSystemWideElement();
    EXPECT_EQ(desktop->copyAttributeValue(system, "AXFocusedApplication").status, -25204);
    platform::Pid pid = 0;
    EXPECT_EQ(desktop->getPid(system, pid), 0);
    EXPECT_EQ(pid, 1);
}

}  // namespace
}  // namespace fieldpilot::sim
