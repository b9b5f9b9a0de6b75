// The simulated workspace: activation modes and delays on the virtual clock, modifier state over
// time, window descriptions and files.
#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

namespace fieldpilot::sim {
namespace {

using namespace std::chrono_literals;
using platform::Micros;

constexpr const char* kThreeApps = R"({
  "frontmost": 1,
  "apps": [
    {"pid": 1, "name": "Finder"},
    {"pid": 2, "name": "Slow", "bundleId": null, "activationDelay": 0.25},
    {"pid": 3, "activation": "refuse"},
    {"pid": 4, "activation": "axOnly"},
    {"pid": 5, "terminated": true}
  ]
})";

class SimActivation : public ::testing::Test {
  protected:
    std::unique_ptr<SimDesktop> desktop = SimDesktop::fromText(kThreeApps);

    platform::Pid front() { return desktop->frontmostApplication()->pid; }
};

TEST_F(SimActivation, AnAcceptedRequestTakesEffectAfterTheDelay) {
    EXPECT_TRUE(desktop->activateApplication(2, 1));
    EXPECT_EQ(front(), 1);
    desktop->sleepFor(249999us);
    EXPECT_EQ(front(), 1);
    desktop->spinRunLoop(1us);
    EXPECT_EQ(front(), 2);
    EXPECT_EQ(desktop->now(), Micros(250000));
}

TEST_F(SimActivation, RefusingApplicationsStayBehindEitherWay) {
    EXPECT_FALSE(desktop->activateApplication(3, 1));
    EXPECT_EQ(desktop->setAttributeValue(desktop->createApplicationElement(3), "AXFrontmost", true),
              0);
    desktop->sleepFor(1s);
    EXPECT_EQ(front(), 1);
}

TEST_F(SimActivation, AxOnlyApplicationsComeForwardOnlyThroughTheAttribute) {
    EXPECT_FALSE(desktop->activateApplication(4, 1));
    EXPECT_EQ(front(), 1);
    desktop->setAttributeValue(desktop->createApplicationElement(4), "AXFrontmost", true);
    EXPECT_EQ(front(), 4);
}

TEST_F(SimActivation, TerminatedAndUnknownApplications) {
    EXPECT_TRUE(desktop->runningApplication(5)->terminated);
    EXPECT_FALSE(desktop->activateApplication(5, 1));
    EXPECT_FALSE(desktop->runningApplication(9));
    EXPECT_FALSE(desktop->activateApplication(9, 1));
    EXPECT_EQ(front(), 1);
    // Only calls on running applications are logged.
    EXPECT_EQ(desktop->snapshot()["log"].size(), 2u);
}

TEST_F(SimActivation, RunningApplicationsReportWhatTheFileGives) {
    const auto finder = desktop->runningApplication(1);
    EXPECT_EQ(finder->localizedName, "Finder");
    EXPECT_FALSE(finder->bundleIdentifier);
    EXPECT_FALSE(desktop->runningApplication(2)->bundleIdentifier);
}

TEST_F(SimActivation, ActivationsAreLoggedWithTheirTimeAndOptions) {
    desktop->sleepFor(1500us);
    desktop->activateApplication(3, 1);
    const nlohmann::json entry = desktop->snapshot()["log"].back();
    EXPECT_EQ(entry, nlohmann::json::parse(R"({"t": 0.0015, "op": "activate", "pid": 3,
                                               "options": 1})"));
}

TEST(SimClock, OnlySleepsAndSpinsAdvanceIt) {
    auto desktop = SimDesktop::fromText("{}");
    EXPECT_EQ(desktop->now(), Micros(0));
    desktop->sleepFor(150ms);
    desktop->spinRunLoop(20ms);
    desktop->sleepFor(Micros(-5));
    EXPECT_EQ(desktop->now(), Micros(170000));
}

TEST(SimModifiers, FlagsFollowTheSpansOverVirtualTime) {
    auto desktop = SimDesktop::fromText(R"({"modifiers": [{"until": 0.5, "flags": 131072},
                                                          {"until": 1, "flags": 65536}]})");
    EXPECT_EQ(desktop->hidSystemModifierFlags(), 131072u);
    desktop->sleepFor(499999us);
    EXPECT_EQ(desktop->hidSystemModifierFlags(), 131072u);
    desktop->sleepFor(1us);
    EXPECT_EQ(desktop->hidSystemModifierFlags(), 65536u);
    desktop->sleepFor(500ms);
    EXPECT_EQ(desktop->hidSystemModifierFlags(), 0u);
}

TEST(SimWindows, EachKindOfDescription) {
    auto desktop = SimDesktop::fromText(R"({"windows": {
        "10": {"kCGWindowLayer": 0, "kCGWindowIsOnscreen": true, "kCGWindowName": null},
        "11": "unconvertible", "12": null}})");
    const auto described = desktop->copyWindowInfo(10);
    ASSERT_TRUE(described);
    ASSERT_EQ(described->size(), 1u);
    const platform::WindowDescription& description = *(*described)[0];
    ASSERT_EQ(description.size(), 3u);
    EXPECT_EQ(description[0].first, "kCGWindowLayer");
    EXPECT_EQ(*description[0].second.get<std::int64_t>(), 0);
    EXPECT_EQ(*description[1].second.get<bool>(), true);
    EXPECT_TRUE(description[2].second.get<platform::OtherValue>());

    const auto unconvertible = desktop->copyWindowInfo(11);
    ASSERT_TRUE(unconvertible);
    ASSERT_EQ(unconvertible->size(), 1u);
    EXPECT_FALSE((*unconvertible)[0]);
    EXPECT_FALSE(desktop->copyWindowInfo(12));
    EXPECT_TRUE(desktop->copyWindowInfo(13)->empty());
}

TEST(SimFiles, OnlyListedPathsExist) {
    auto desktop = SimDesktop::fromText(
        R"({"files": ["/Applications/Slack.app/Contents/Resources/app.asar"], "trusted": false})");
    EXPECT_TRUE(desktop->fileExists("/Applications/Slack.app/Contents/Resources/app.asar"));
    EXPECT_FALSE(desktop->fileExists("/Applications/Slack.app"));
    EXPECT_FALSE(desktop->isProcessTrusted());
}

}  // namespace
}  // namespace fieldpilot::sim
