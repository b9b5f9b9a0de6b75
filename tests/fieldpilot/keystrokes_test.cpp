// Activation and keystrokes on the simulated desktop, timed by its virtual clock.
#include "keystrokes.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

#include "activation.h"
#include "platform/sim/sim_desktop.h"
#include "support/desktop_log.h"

namespace fieldpilot {
namespace {

using sim::SimDesktop;
using testing::ElementsAre;
using testing::IsEmpty;

long micros(const nlohmann::json& entry) {
    return std::lround(entry.at("t").get<double>() * 1e6);
}
long elapsed(SimDesktop& desktop) {
    return static_cast<long>(desktop.now().count());
}

// Pid 600 is frontmost; 501 answers activation requests as `activation` says; 502 has terminated.
std::unique_ptr<SimDesktop> desktopWithTarget(const std::string& activation, double delay = 0) {
    return SimDesktop::fromText(R"({"frontmost": 600, "apps": [{"pid": 600},
        {"pid": 501, "activation": ")" +
                                activation + R"(", "activationDelay": )" + std::to_string(delay) +
                                R"(},
        {"pid": 502, "terminated": true}]})");
}

// The activation requests made, in order, with their virtual time in microseconds.
std::vector<std::pair<std::string, long>> activationRequests(const nlohmann::json& desktop) {
    std::vector<std::pair<std::string, long>> requests;
    for (const auto& entry : desktop.at("log")) {
        if (entry.at("op") == "activate") {
            EXPECT_EQ(entry.at("options"), 1);
            requests.emplace_back("activate", micros(entry));
        } else if (entry.at("op") == "write" && entry.at("attribute") == "AXFrontmost") {
            requests.emplace_back("AXFrontmost", micros(entry));
        }
    }
    return requests;
}

TEST(BringToFront, AlternatesBothMethodsWithSixChecksEachUntilTheTimeout) {
    auto desktop = desktopWithTarget("refuse");
    EXPECT_FALSE(bringToFront(*desktop, 501, Seconds{1.0}));

    const auto snapshot = desktop->snapshot();
    // Each attempt runs its six 50 ms checks even past the deadline.
    EXPECT_THAT(activationRequests(snapshot),
                ElementsAre(std::pair{"activate", 0L}, std::pair{"AXFrontmost", 300'000L},
                            std::pair{"activate", 600'000L}, std::pair{"AXFrontmost", 900'000L}));
    const auto checks = test::readsOf(snapshot, "system", "AXFocusedApplication");
    ASSERT_EQ(checks.size(), 1u + 4 * 6 + 1);
    for (std::size_t i = 1; i < checks.size() - 1; ++i)
        EXPECT_EQ(micros(checks[i]), 50'000L * i);
    EXPECT_EQ(elapsed(*desktop), 1'200'000);
}

TEST(BringToFront, ConfirmsADelayedOrAttributeOnlyActivationAtTheNextCheck) {
    auto delayed = desktopWithTarget("accept", 0.12);
    EXPECT_TRUE(bringToFront(*delayed, 501, Seconds{1.5}));
    EXPECT_EQ(elapsed(*delayed), 150'000);

    auto attributeOnly = desktopWithTarget("axOnly");
    EXPECT_TRUE(bringToFront(*attributeOnly, 501, Seconds{1.5}));
    EXPECT_EQ(elapsed(*attributeOnly), 350'000);
}

TEST(BringToFront, AnswersWithoutAnyRequestWhenNothingCanOrNeedsToBeDone) {
    auto desktop = desktopWithTarget("accept");
    EXPECT_TRUE(bringToFront(*desktop, 600, Seconds{1.5}));   // already frontmost
    EXPECT_FALSE(bringToFront(*desktop, 999, Seconds{1.5}));  // no such application
    EXPECT_FALSE(bringToFront(*desktop, 502, Seconds{1.5}));  // terminated
    EXPECT_FALSE(bringToFront(*desktop, 501, Seconds{0}));
    EXPECT_FALSE(bringToFront(*desktop, 501, Seconds{-1}));
    EXPECT_THAT(activationRequests(desktop->snapshot()), IsEmpty());
    EXPECT_EQ(elapsed(*desktop), 0);
}

TEST(FrontmostPid, AsksTheWorkspaceAfterASpinWhenTheSystemWideElementCannotTell) {
    auto desktop = SimDesktop::fromText(R"({"frontmost": 600, "apps": [{"pid": 600}],
        "systemWide": {"AXFocusedApplication": {"error": -25212}}})");
    EXPECT_EQ(frontmostPid(*desktop), 600);
    EXPECT_EQ(elapsed(*desktop), 20'000);

    auto nothingInFront = SimDesktop::fromText(R"({"apps": [{"pid": 600}]})");
    EXPECT_EQ(frontmostPid(*nothingInFront), 0);
    // 0 means "unknown", so it never counts as process 0 being in front.
    EXPECT_FALSE(isFrontmost(*nothingInFront, 0));
    EXPECT_FALSE(bringToFront(*nothingInFront, 0, Seconds{1.5}));
}

std::unique_ptr<SimDesktop> desktopWithModifiers(const std::string& modifiers) {
    return SimDesktop::fromText(R"({"modifiers": )" + modifiers + "}");
}

TEST(WaitForModifiersReleased, WaitsForShiftControlOptionAndCommandOnly) {
    auto held = desktopWithModifiers(R"([{"until": 5, "flags": 131072}])");
    EXPECT_FALSE(waitForModifiersReleased(*held, Seconds{1.2}));
    EXPECT_EQ(elapsed(*held), 1'200'000);

    auto released = desktopWithModifiers(R"([{"until": 0.1, "flags": 1048576}])");
    EXPECT_TRUE(waitForModifiersReleased(*released, Seconds{1.2}));
    EXPECT_EQ(elapsed(*released), 100'000);

    auto capsLockAndFn = desktopWithModifiers(R"([{"until": 5, "flags": 8454144}])");
    EXPECT_TRUE(waitForModifiersReleased(*capsLockAndFn, Seconds{0.8}));
    EXPECT_EQ(elapsed(*capsLockAndFn), 0);
}

std::unique_ptr<SimDesktop> desktopWithLayout(const std::string& layout) {
    return SimDesktop::fromText(R"({"keyboard": {"layout": )" + layout + "}}");
}

TEST(KeyCode, FindsTheFirstKeyThatTypesExactlyTheCharacterInTheCurrentLayout) {
    auto us = desktopWithLayout(R"("us")");
    EXPECT_EQ(keyCode(*us, "a", 99), 0);
    EXPECT_EQ(keyCode(*us, "v", 99), 9);
    EXPECT_EQ(keyCode(*us, "A", 99), 99);  // needs Shift
    EXPECT_EQ(keyCode(*desktopWithLayout(R"("fr")"), "a", 0), 12);

    auto custom = desktopWithLayout(R"({"20": "é", "7": "é", "3": "ab", "4": "x"})");
    EXPECT_EQ(keyCode(*custom, "é", 99), 7);
    EXPECT_EQ(keyCode(*custom, "a", 99), 99);
    EXPECT_EQ(keyCode(*custom, "ab", 99), 99);
    EXPECT_EQ(keyCode(*custom, "", 99), 99);
}

TEST(KeyCode, TakesTheKeyThatTypesTheLetterWhileCommandIsHeld) {
    // Without modifiers this layout types "v" on key 47 and "c" on key 34 (Dvorak).
    auto dvorakQwerty = desktopWithLayout(R"("dvorak-qwerty-command")");
    EXPECT_EQ(keyCode(*dvorakQwerty, "v", 99), 9);
    EXPECT_EQ(keyCode(*dvorakQwerty, "c", 99), 8);
}

TEST(KeyCode, FallsBackWhenTheLayoutCannotBeRead) {
    EXPECT_EQ(keyCode(*desktopWithLayout(R"("nodata")"), "c", 8), 8);
    EXPECT_EQ(keyCode(*desktopWithLayout("null"), "c", 8), 8);
}

using KeyEvent = std::tuple<int, bool, std::uint64_t, long>;  // code, down, flags, time in µs

std::vector<KeyEvent> keyEvents(SimDesktop& desktop) {
    std::vector<KeyEvent> events;
    for (const auto& entry : test::logEntries(desktop.snapshot(), "key")) {
        events.emplace_back(entry.at("code").get<int>(), entry.at("down").get<bool>(),
                            entry.at("flags").get<std::uint64_t>(), micros(entry));
    }
    return events;
}

std::unique_ptr<SimDesktop> keyboard(bool eventSource, bool keyboardEvents) {
    return SimDesktop::fromText(
        R"({"eventSource": )" + std::string(eventSource ? "true" : "false") +
        R"(, "keyboardEvents": )" + (keyboardEvents ? "true" : "false") + "}");
}

constexpr std::uint64_t kCommand = 0x100000;

TEST(PressCommand, PostsCommandAroundTheKeyTwelveMillisecondsApart) {
    for (const bool eventSource : {true, false}) {
        auto desktop = keyboard(eventSource, true);
        pressCommand(*desktop, 9);
        EXPECT_THAT(
            keyEvents(*desktop),
            ElementsAre(KeyEvent{55, true, kCommand, 0}, KeyEvent{9, true, kCommand, 12'000},
                        KeyEvent{9, false, kCommand, 24'000}, KeyEvent{55, false, 0, 36'000}))
            << "with an event source: " << eventSource;
        EXPECT_EQ(elapsed(*desktop), 48'000);
    }
    auto noEvents = keyboard(true, false);
    pressCommand(*noEvents, 9);
    EXPECT_THAT(keyEvents(*noEvents), IsEmpty());
    EXPECT_EQ(elapsed(*noEvents), 0);
}

TEST(PressKey, PostsDownAndUpWithoutFlagsOnlyWithAnEventSource) {
    auto desktop = keyboard(true, true);
    pressKey(*desktop, kDeleteKey);
    EXPECT_THAT(keyEvents(*desktop),
                ElementsAre(KeyEvent{51, true, 0, 0}, KeyEvent{51, false, 0, 12'000}));
    EXPECT_EQ(elapsed(*desktop), 24'000);

    auto noSource = keyboard(false, true);
    pressKey(*noSource, kDeleteKey);
    EXPECT_THAT(keyEvents(*noSource), IsEmpty());
    EXPECT_EQ(elapsed(*noSource), 0);

    // Events that cannot be created are not posted, but the pauses after them are kept.
    auto noEvents = keyboard(true, false);
    pressKey(*noEvents, kDeleteKey);
    EXPECT_THAT(keyEvents(*noEvents), IsEmpty());
    EXPECT_EQ(elapsed(*noEvents), 24'000);
}

}  // namespace
}  // namespace fieldpilot
