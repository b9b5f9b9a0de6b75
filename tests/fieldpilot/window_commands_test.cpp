// "window" and "activate" on the simulated desktop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

// Pid 600 is frontmost; 501 refuses activation; 503 comes forward 0.2 s after a request; 502
// has terminated.
constexpr std::string_view kDesktop = R"({"frontmost": 600,
    "apps": [{"pid": 600}, {"pid": 501, "activation": "refuse"}, {"pid": 503, "activationDelay": 0.2},
             {"pid": 502, "terminated": true}],
    "windows": {
      "10": {"kCGWindowLayer": 0, "kCGWindowIsOnscreen": true},
      "11": {"kCGWindowOwnerPID": 600},
      "12": {"kCGWindowLayer": "3", "kCGWindowIsOnscreen": 1},
      "13": {"kCGWindowLayer": 2.5, "kCGWindowIsOnscreen": "yes"},
      "14": "unconvertible",
      "15": null,
      "4294967295": {"kCGWindowLayer": 25, "kCGWindowIsOnscreen": false}}})";

struct Outcome {
    int status;
    json reply;
    json desktop;
};

Outcome run(Command command, Args args, std::string_view desktopText = kDesktop) {
    auto desktop = SimDesktop::fromText(desktopText);
    args.insert(args.begin(), "fieldpilot");
    Context context{*desktop, args, [] { return std::string(); }};
    const Ending ending = command(context);
    return {ending.status, test::toNlohmann(ending.reply), desktop->snapshot()};
}

json windowReply(bool found, int layer, bool onscreen, int frontPid) {
    return {{"found", found}, {"layer", layer}, {"onscreen", onscreen}, {"frontPid", frontPid}};
}

TEST(WindowCommand, RejectsIdsOutsideTheUnsigned32BitRange) {
    for (const Args& args : {Args{"window"}, Args{"window", "-1"}, Args{"window", "4294967296"},
                             Args{"window", "0x10"}, Args{"window", ""}}) {
        const Outcome outcome = run(windowCommand, args);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.reply, (json{{"error", "usage: fieldpilot window <id>"}}))
            << testing::PrintToString(args);
    }
}

TEST(WindowCommand, ReportsOnlyValuesOfTheExpectedKindsAndDefaultsTheRest) {
    const std::vector<std::pair<std::string, json>> cases = {
        {"10", windowReply(true, 0, true, 600)},
        {"11", windowReply(true, -1, false, 600)},
        {"12", windowReply(true, -1, false, 600)},
        {"13", windowReply(true, -1, false, 600)},
        {"14", windowReply(false, -1, false, 600)},
        {"15", windowReply(false, -1, false, 600)},
        {"99", windowReply(false, -1, false, 600)},
        {"+4294967295", windowReply(true, 25, false, 600)},
    };
    for (const auto& [id, reply] : cases) {
        const Outcome outcome = run(windowCommand, {"window", id});
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.reply, reply) << "window " << id;
    }
    EXPECT_EQ(run(windowCommand, {"window", "10"}, R"({"windows": {"10": {}}})").reply,
              windowReply(true, -1, false, 0));
}

TEST(ActivateCommand, RejectsBadPidsAndApplicationsThatAreNotRunning) {
    const json usage{{"error", "usage: fieldpilot activate <pid>"}};
    const json notRunning{{"error", "app_not_running"}};
    const std::vector<std::pair<Args, json>> cases = {
        {{"activate"}, usage},
        {{"activate", "2147483648"}, usage},
        {{"activate", "777"}, notRunning},
        {{"activate", "502"}, notRunning},
    };
    for (const auto& [args, reply] : cases) {
        const Outcome outcome = run(activateCommand, args);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.reply, reply) << testing::PrintToString(args);
        EXPECT_THAT(test::logEntries(outcome.desktop, "activate"), IsEmpty());
    }
}

TEST(ActivateCommand, ReportsTheOutcomeAndWhoIsInFrontWithSuccessStatus) {
    const Outcome already = run(activateCommand, {"activate", "600"});
    EXPECT_EQ(already.reply, (json{{"frontmost", true}, {"frontPid", 600}}));
    EXPECT_THAT(test::logEntries(already.desktop, "activate"), IsEmpty());

    const Outcome delayed = run(activateCommand, {"activate", "503"});
    EXPECT_EQ(delayed.reply, (json{{"frontmost", true}, {"frontPid", 503}}));
    EXPECT_DOUBLE_EQ(test::lastLogTime(delayed.desktop), 0.2);

    // Attempts start at 0, 0.3, ... 1.8 s; the last one runs its checks to 2.1 s.
    const Outcome refused = run(activateCommand, {"activate", "501"});
    EXPECT_EQ(refused.status, 0);
    EXPECT_EQ(refused.reply, (json{{"frontmost", false}, {"frontPid", 600}}));
    EXPECT_THAT(test::logEntries(refused.desktop, "activate"), SizeIs(4));
    EXPECT_THAT(test::writesOf(refused.desktop, "app:501", "AXFrontmost"), SizeIs(3));
    EXPECT_DOUBLE_EQ(test::lastLogTime(refused.desktop), 2.1);
}

}  // namespace
}  // namespace fieldpilot
