// Writes to the simulated desktop and their effects on focus, selection and later reads.
#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

namespace fieldpilot::sim {
namespace {

using platform::Element;

constexpr const char* kEditorDesktop = R"({
  "apps": [{"pid": 600, "AXFocusedUIElement": {"element": "first"}},
           {"pid": 601, "AXFocusedUIElement": {"error": -25212}}],
  "elements": {
    "first": {"pid": 600, "AXFocused": true, "AXValue": "one",
              "settable": ["AXValue"], "settableErrors": {"AXFocused": -25200}},
    "second": {"pid": 600, "AXFocused": false, "AXValue": "two 😀", "selection": [0, 3],
               "setErrors": {"AXValue": -25200}},
    "third": {"pid": 600, "AXValue": "three", "selection": [1, 1]},
    "elsewhere": {"pid": 601, "AXFocused": true},
    "other": {"pid": 601}
  }
})";

class SimWrites : public ::testing::Test {
  protected:
    std::unique_ptr<SimDesktop> desktop = SimDesktop::fromText(kEditorDesktop);

    Element element(std::string_view id) { return desktop->elementById(id); }
    platform::AttributeRead read(std::string_view id, std::string_view name) {
        return desktop->copyAttributeValue(element(id), name);
    }
    bool flag(std::string_view id, std::string_view name) {
        return *read(id, name).value->get<bool>();
    }
    std::string text(std::string_view id, std::string_view name) {
        return *read(id, name).value->get<std::string>();
    }
};

TEST_F(SimWrites, FocusMovesWithinTheProcessAndTheApplicationFollows) {
    ASSERT_EQ(desktop->setAttributeValue(element("second"), "AXFocused", true), 0);
    EXPECT_FALSE(flag("first", "AXFocused"));
    EXPECT_TRUE(flag("second", "AXFocused"));
    EXPECT_TRUE(flag("elsewhere", "AXFocused"));
    const auto focused = read("app:600", "AXFocusedUIElement");
    platform::Pid pid = 0;
    ASSERT_EQ(focused.status, 0);
    EXPECT_EQ(desktop->getPid(*focused.value->get<Element>(), pid), 0);
    EXPECT_EQ(desktop->snapshot()["apps"][0]["AXFocusedUIElement"],
              nlohmann::json({{"element", "second"}}));
}

TEST_F(SimWrites, FocusLeavesAnApplicationFocusThatIsNotAPlainElement) {
    ASSERT_EQ(desktop->setAttributeValue(element("other"), "AXFocused", true), 0);
    EXPECT_FALSE(flag("elsewhere", "AXFocused"));
    EXPECT_EQ(read("app:601", "AXFocusedUIElement").status, -25212);
}

TEST_F(SimWrites, RefusedWritesChangeNothing) {
    EXPECT_EQ(desktop->setAttributeValue(element("second"), "AXValue", "new"), -25200);
    EXPECT_EQ(text("second", "AXValue"), "two 😀");
    EXPECT_EQ(text("second", "AXSelectedText"), "two");
}

TEST_F(SimWrites, ANewValueLeavesTheCaretAtItsEnd) {
    ASSERT_EQ(desktop->setAttributeValue(element("third"), "AXValue", "a😀"), 0);
    EXPECT_EQ(text("third", "AXValue"), "a😀");
    EXPECT_EQ(text("third", "AXSelectedText"), "");
    EXPECT_EQ(desktop->snapshot()["elements"]["third"]["selection"], nlohmann::json({3, 0}));
}

TEST_F(SimWrites, WritesReplaceAnyListingWithThePlainValue) {
    ASSERT_EQ(
        desktop->setAttributeValue(element("app:601"), "AXFocusedUIElement", element("other")), 0);
    EXPECT_EQ(read("app:601", "AXFocusedUIElement").status, 0);
    ASSERT_EQ(desktop->setAttributeValue(element("other"), "AXNew", 2.5), 0);
    EXPECT_EQ(*read("other", "AXNew").value->get<double>(), 2.5);
}

TEST_F(SimWrites, SettableAnswersFromTheListsAndErrors) {
    bool settable = false;
    EXPECT_EQ(desktop->isAttributeSettable(element("first"), "AXValue", settable), 0);
    EXPECT_TRUE(settable);
    EXPECT_EQ(desktop->isAttributeSettable(element("first"), "AXTitle", settable), 0);
    EXPECT_FALSE(settable);
    settable = true;
    EXPECT_EQ(desktop->isAttributeSettable(element("first"), "AXFocused", settable), -25200);
    EXPECT_TRUE(settable) << "a failed query leaves the answer alone";
}

TEST_F(SimWrites, WrittenValuesAreLoggedInTheFileEncoding) {
    desktop->setAttributeValue(element("first"), "AXPosition",
                               platform::Geometry{platform::Geometry::Type::Point, {1.5, 2}});
    desktop->setAttributeValue(element("first"), "AXLinkedUIElements",
                               platform::Array{element("other"), std::int64_t{4}});
    desktop->setAttributeValue(element("gone"), "AXValue", "x");
    const nlohmann::json log = desktop->snapshot()["log"];
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[1]["value"], nlohmann::json({{"point", {1.5, 2.0}}}));
    EXPECT_EQ(log[2]["value"], nlohmann::json::parse(R"([{"element": "other"}, 4])"));
    EXPECT_EQ(log[3], nlohmann::json::parse(R"({"t": 0, "op": "write", "element": "gone",
                                                "attribute": "AXValue", "value": "x",
                                                "status": -25202})"));
}

}  // namespace
}  // namespace fieldpilot::sim
