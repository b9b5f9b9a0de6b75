// The simulated keyboard: layouts and key translation, event creation, and the effects of
// posted keys on the frontmost application's focused field.
#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

namespace fieldpilot::sim {
namespace {

constexpr std::uint64_t kCommand = 0x100000;
constexpr std::uint16_t kCommandKey = 55;

std::string desktopWithLayout(std::string_view layout, std::string_view extra = "") {
    return R"({"frontmost": 8, "keyboard": {"layout": )" + std::string(layout) +
           R"(, "type": 43}, "apps": [{"pid": 8, "AXFocusedUIElement": {"element": "field"}}],
              "elements": {"field": {"pid": 8, "AXValue": "hello world", "selection": [6, 5]},
                           "other": {"pid": 9, "AXValue": "untouched"}})" +
           std::string(extra) + "}";
}

class SimKeys : public ::testing::Test {
  protected:
    void load(std::string_view layout, std::string_view extra = "") {
        desktop = SimDesktop::fromText(desktopWithLayout(layout, extra));
    }
    void press(std::uint16_t code, std::uint64_t flags = 0) {
        for (const bool down : {true, false}) {
            auto event = desktop->createKeyboardEvent(nullptr, code, down);
            desktop->setEventFlags(*event, flags);
            desktop->postToHidEventTap(*event);
        }
    }
    void command(std::uint16_t code) {
        press(kCommandKey, kCommand);
        press(code, kCommand);
    }
    nlohmann::json field() { return desktop->snapshot()["elements"]["field"]; }
    std::string clipboard() { return desktop->snapshot()["clipboard"]; }

    // What the key types, through the calls keyCode makes.
    platform::KeyTranslation translate(std::uint16_t code, std::size_t room = 4) {
        auto source = desktop->copyCurrentKeyboardLayoutInputSource();
        const auto data = desktop->unicodeKeyLayoutData(*source);
        std::uint32_t deadKeyState = 0;
        return desktop->translateKey(*data, code, 0, 0, desktop->keyboardType(), 0, deadKeyState,
                                     room);
    }

    std::unique_ptr<SimDesktop> desktop;
};

TEST_F(SimKeys, UsLayoutTypesTheAnsiCharacters) {
    load(R"("us")");
    EXPECT_EQ(translate(0).characters, u"a");
    EXPECT_EQ(translate(9).characters, u"v");
    EXPECT_EQ(translate(18).characters, u"1");
    EXPECT_EQ(translate(50).characters, u"`");
    EXPECT_EQ(translate(51).characters, u"");
    EXPECT_EQ(translate(124).status, 0);
    EXPECT_EQ(translate(124).characters, u"");
    EXPECT_EQ(desktop->keyboardType(), 43u);
}

TEST_F(SimKeys, FrenchLayoutMovesTheLetters) {
    load(R"("fr")");
    EXPECT_EQ(translate(12).characters, u"a");
    EXPECT_EQ(translate(0).characters, u"q");
    EXPECT_EQ(translate(13).characters, u"z");
    EXPECT_EQ(translate(6).characters, u"w");
}

TEST_F(SimKeys, CustomLayoutsAndTheOutputBuffer) {
    load(R"({"3": "x", "4": "long"})");
    EXPECT_EQ(translate(3).characters, u"x");
    EXPECT_EQ(translate(0).characters, u"");
    EXPECT_EQ(translate(4, 4).characters, u"long");
    EXPECT_EQ(translate(4, 3).status, -25340);
    EXPECT_EQ(translate(4, 3).characters, u"");
}

TEST_F(SimKeys, MissingInputSourceOrLayoutData) {
    load("null");
    EXPECT_EQ(desktop->copyCurrentKeyboardLayoutInputSource(), nullptr);
    load(R"("nodata")");
    const auto source = desktop->copyCurrentKeyboardLayoutInputSource();
    ASSERT_NE(source, nullptr);
    EXPECT_FALSE(desktop->unicodeKeyLayoutData(*source));
}

TEST_F(SimKeys, EventsAndSourcesCanBeUnavailable) {
    load(R"("us")", R"(, "eventSource": false, "keyboardEvents": false)");
    EXPECT_EQ(desktop->createPrivateEventSource(), nullptr);
    EXPECT_EQ(desktop->createKeyboardEvent(nullptr, 0, true), nullptr);
}

TEST_F(SimKeys, SelectAllCopyAndPasteRoundTrip) {
    load(R"("us")", R"(, "clipboard": "old")");
    command(0);
    EXPECT_EQ(field()["selection"], nlohmann::json({0, 11}));
    command(8);
    EXPECT_EQ(clipboard(), "hello world");
    press(124);
    EXPECT_EQ(field()["selection"], nlohmann::json({11, 0}));
    command(9);
    EXPECT_EQ(field()["AXValue"], "hello worldhello world");
    EXPECT_EQ(field()["selection"], nlohmann::json({22, 0}));
    EXPECT_EQ(desktop->snapshot()["elements"]["other"]["AXValue"], "untouched");
}

TEST_F(SimKeys, CopyingAnEmptySelectionKeepsTheClipboard) {
    load(R"("us")", R"(, "clipboard": "kept")");
    press(124);
    command(8);
    EXPECT_EQ(clipboard(), "kept");
}

TEST_F(SimKeys, PasteReplacesTheSelection) {
    load(R"("us")", R"(, "clipboard": "there")");
    command(9);
    EXPECT_EQ(field()["AXValue"], "hello there");
}

TEST_F(SimKeys, DeleteRemovesTheSelectionOrTheCharacterBeforeTheCaret) {
    load(R"("us")");
    press(51);
    EXPECT_EQ(field()["AXValue"], "hello ");
    press(51);
    EXPECT_EQ(field()["AXValue"], "hello");
    EXPECT_EQ(field()["selection"], nlohmann::json({5, 0}));
    press(51, 0x20000);
    EXPECT_EQ(field()["AXValue"], "hello") << "Delete with a modifier is not a plain Delete";
}

TEST_F(SimKeys, DeleteTakesACharacterOutsideTheBasicPlaneWhole) {
    desktop = SimDesktop::fromText(R"({"frontmost": 8, "apps": [{"pid": 8}],
        "elements": {"field": {"pid": 8, "AXFocused": true, "AXValue": "ok😀"}}})");
    press(51);
    EXPECT_EQ(field()["AXValue"], "ok");
}

TEST_F(SimKeys, SelectionEdgesInsideASurrogatePairMoveToItsStart) {
    const auto withSelection = [&](const char* selection, const char* clipboard = "Z") {
        desktop = SimDesktop::fromText(std::string(R"({"frontmost": 8, "apps": [{"pid": 8}],
            "clipboard": ")") + clipboard +
                                       R"(", "elements": {"field": {"pid": 8,
            "AXFocused": true, "AXValue": "👍x👍", "selection": )" +
                                       selection + "}}}");
    };
    withSelection("[1, 0]");
    command(9);
    EXPECT_EQ(field()["AXValue"], "Z👍x👍");
    withSelection("[1, 3]", "");
    command(8);
    EXPECT_EQ(clipboard(), "👍x");
    withSelection("[1, 4]");
    press(51);
    EXPECT_EQ(field()["AXValue"], "");
    withSelection("[4, 0]");
    press(51);
    EXPECT_EQ(field()["AXValue"], "👍👍") << "the caret stands before the last character";
}

TEST_F(SimKeys, FrenchSelectAllIsTheKeyThatTypesA) {
    load(R"("fr")");
    command(0);
    EXPECT_EQ(field()["selection"], nlohmann::json({6, 5}));
    command(12);
    EXPECT_EQ(field()["selection"], nlohmann::json({0, 11}));
}

TEST_F(SimKeys, SecureInputOrNoFrontmostApplicationShieldsTheField) {
    load(R"("us")", R"(, "secureInput": true)");
    EXPECT_TRUE(desktop->isSecureEventInputEnabled());
    press(51);
    EXPECT_EQ(field()["AXValue"], "hello world");
    desktop = SimDesktop::fromText(R"({"apps": [{"pid": 8}],
        "elements": {"field": {"pid": 8, "AXFocused": true, "AXValue": "abc"}}})");
    press(51);
    EXPECT_EQ(field()["AXValue"], "abc");
}

TEST_F(SimKeys, EveryPostedEventIsLogged) {
    load(R"("us")");
    desktop->sleepFor(std::chrono::microseconds(12000));
    command(9);
    const nlohmann::json log = desktop->snapshot()["log"];
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[1],
              nlohmann::json::parse(
                  R"({"t": 0.012, "op": "key", "code": 55, "down": true, "flags": 1048576})"));
    EXPECT_EQ(log[4]["code"], 9);
    EXPECT_EQ(log[4]["down"], false);
}

}  // namespace
}  // namespace fieldpilot::sim
