#include "element_access.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

namespace fieldpilot {
namespace {

using sim::SimDesktop;

// One application (pid 7) whose element carries the attributes under test, and a few elements.
std::unique_ptr<SimDesktop> desktopWith(const std::string& appAttributes) {
    return SimDesktop::fromText(R"({"apps": [{"pid": 7, )" + appAttributes + R"(}],
        "elements": {
          "focused": {"pid": 7, "AXTitle": "focused window"},
          "main": {"pid": 7, "AXTitle": "main window"}}})");
}

std::optional<std::string> titleOf(Desktop& desktop, const std::optional<Element>& element) {
    if (!element)
        return std::nullopt;
    return string(desktop, *element, "AXTitle");
}

TEST(ElementAccess, StringGivesTextAndTheStringFormOfNumbersOnly) {
    auto desktop = desktopWith(R"("AXText": "hi", "AXEmpty": "", "AXInteger": -42,
        "AXFloat": 2.5, "AXWhole": 3.0, "AXTrue": true, "AXFalse": false,
        "AXElement": {"element": "main"}, "AXList": [1, 2], "AXRich": {"attributed": "x"},
        "AXPoint": {"point": [1, 2]}, "AXNull": null, "AXBroken": {"error": -25212})");
    const Element app = desktop->createApplicationElement(7);
    const auto read = [&](std::string_view name) { return string(*desktop, app, name); };
    EXPECT_EQ(read("AXText"), "hi");
    EXPECT_EQ(read("AXEmpty"), "");
    EXPECT_EQ(read("AXInteger"), "-42");
    EXPECT_EQ(read("AXFloat"), "2.5");
    EXPECT_EQ(read("AXWhole"), "3");
    EXPECT_EQ(read("AXTrue"), "1");
    EXPECT_EQ(read("AXFalse"), "0");
    for (const auto* absent :
         {"AXElement", "AXList", "AXRich", "AXPoint", "AXNull", "AXBroken", "AXUnlisted"}) {
        EXPECT_EQ(read(absent), std::nullopt) << absent;
    }
}

TEST(ElementAccess, StringWritesFloatingNumbersWithTheDigitsOfTheirPrecision) {
    // As NSNumber's stringValue: %0.7g for a 32-bit float, %0.16g for a double.
    auto desktop = desktopWith(R"("AXSlider": {"float32": 0.3}, "AXSum": 0.30000000000000004,
        "AXLargeFloat": {"float32": 123456789}, "AXThird": 0.3333333333333333)");
    const Element app = desktop->createApplicationElement(7);
    const auto read = [&](std::string_view name) { return string(*desktop, app, name); };
    EXPECT_EQ(read("AXSlider"), "0.3");
    EXPECT_EQ(read("AXSum"), "0.3");
    EXPECT_EQ(read("AXLargeFloat"), "1.234568e+08");
    EXPECT_EQ(read("AXThird"), "0.3333333333333333");
}

TEST(ElementAccess, BooleanIsTrueOnlyForTrueOrTheNumberOne) {
    auto desktop = desktopWith(R"("AXYes": true, "AXNo": false, "AXOne": 1, "AXOneFloat": 1.0,
        "AXTwo": 2, "AXText": "1", "AXBroken": {"error": -25212})");
    const Element app = desktop->createApplicationElement(7);
    const auto read = [&](std::string_view name) { return boolean(*desktop, app, name); };
    EXPECT_TRUE(read("AXYes"));
    EXPECT_TRUE(read("AXOne"));
    EXPECT_TRUE(read("AXOneFloat"));
    for (const auto* falsy : {"AXNo", "AXTwo", "AXText", "AXBroken", "AXUnlisted"}) {
        EXPECT_FALSE(read(falsy)) << falsy;
    }
}

TEST(ElementAccess, FocusedWindowFallsBackToTheMainWindow) {
    auto both = desktopWith(
        R"("AXFocusedWindow": {"element": "focused"}, "AXMainWindow": {"element": "main"})");
    EXPECT_EQ(titleOf(*both, focusedWindow(*both, both->createApplicationElement(7))),
              "focused window");
    auto mainOnly =
        desktopWith(R"("AXFocusedWindow": {"error": -25212}, "AXMainWindow": {"element": "main"})");
    EXPECT_EQ(titleOf(*mainOnly, focusedWindow(*mainOnly, mainOnly->createApplicationElement(7))),
              "main window");
    // A value that is not an element cannot stand for a window.
    auto notAnElement =
        desktopWith(R"("AXFocusedWindow": "window", "AXMainWindow": {"element": "main"})");
    EXPECT_EQ(titleOf(*notAnElement,
                      focusedWindow(*notAnElement, notAnElement->createApplicationElement(7))),
              "main window");
    auto none = desktopWith(R"("AXMainWindow": null)");
    EXPECT_FALSE(focusedWindow(*none, none->createApplicationElement(7)));
}

std::optional<WindowBounds> boundsFor(const std::string& position, const std::string& size) {
    auto desktop = SimDesktop::fromText(
        R"({"apps": [{"pid": 7, "AXFocusedWindow": {"element": "w"}}],
            "elements": {"w": {"pid": 7, "AXPosition": )" +
        position + R"(, "AXSize": )" + size + "}}}");
    return windowBounds(*desktop, desktop->createApplicationElement(7));
}

TEST(ElementAccess, WindowBoundsTruncateTowardZero) {
    const auto bounds = boundsFor(R"({"point": [-10.7, 20.9]})", R"({"size": [300.9, 200.2]})");
    ASSERT_TRUE(bounds);
    EXPECT_EQ(bounds->x, -10);
    EXPECT_EQ(bounds->y, 20);
    EXPECT_EQ(bounds->w, 300);
    EXPECT_EQ(bounds->h, 200);
    const auto limit =
        boundsFor(R"({"point": [-9223372036854775808.0, 0]})", R"({"size": [1, 1]})");
    ASSERT_TRUE(limit);
    EXPECT_EQ(limit->x, INT64_MIN);
}

TEST(ElementAccess, WindowBoundsAreAbsentForMissingWrongOrUnrepresentableGeometry) {
    const std::string point = R"({"point": [1, 2]})";
    const std::string size = R"({"size": [3, 4]})";
    EXPECT_FALSE(boundsFor(size, size));
    EXPECT_FALSE(boundsFor(point, point));
    EXPECT_FALSE(boundsFor(R"({"rect": [1, 2, 3, 4]})", size));
    EXPECT_FALSE(boundsFor(point, R"({"error": -25205})"));
    EXPECT_FALSE(boundsFor("null", size));
    EXPECT_FALSE(boundsFor(R"({"point": [9223372036854775808.0, 0]})", size));
    EXPECT_FALSE(boundsFor(point, R"({"size": [1e300, 4]})"));

    auto windowless = SimDesktop::fromText(R"({"apps": [{"pid": 7}]})");
    EXPECT_FALSE(windowBounds(*windowless, windowless->createApplicationElement(7)));
}

}  // namespace
}  // namespace fieldpilot
