// Applications that answer accessibility calls badly: each run still ends on its own (well
// inside the 30 s after which a run counts as hung), writes one reply, and writes nothing into
// an element it could not find. The peer's own log tells what reached it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/live_desktop_suite.h"
#include "support/misbehaving_peer.h"

namespace live_desktop {
namespace {

using testing::HasSubstr;
using testing::Not;

class MisbehavingApp : public LiveDesktopSuite {
  protected:
    // Runs each command against the peer and expects a reply from every one.
    void expectAnswers(MisbehavingPeer& peer, const std::vector<std::string>& commands) {
        for (const auto& command : commands) {
            std::vector<std::string> arguments{command};
            if (command != "focused" && command != "dump")
                arguments.push_back(peer.pidText());
            const FieldpilotResult run = fieldpilot(arguments, "Written");
            ASSERT_FALSE(run.killedAsHung) << command;
            ASSERT_TRUE(run.exitStatus == 0 || run.exitStatus == 1)
                << command << ": " << run.exitStatus << " " << run.standardError;
            if (command == "dump")
                EXPECT_THAT(run.standardOutput, HasSubstr("app=Peer")) << run.standardOutput;
            else
                EXPECT_FALSE(run.reply.is_null()) << command << ": " << run.standardOutput;
        }
    }
};

TEST_F(MisbehavingApp, BillionsOfFailingChildrenCostNeitherMemoryNorTime) {
    MisbehavingPeer peer(desktop(), "huge");
    expectAnswers(peer, {"focused", "dump", "focusfield", "set"});
    EXPECT_THAT(peer.log(), Not(HasSubstr("SetTextContents")));
}

TEST_F(MisbehavingApp, ChildrenThatNeverAnswerEndTheSearch) {
    MisbehavingPeer peer(desktop(), "silent");
    expectAnswers(peer, {"focused"});
}

TEST_F(MisbehavingApp, AHundredThousandChildrenAreNotAllVisited) {
    MisbehavingPeer peer(desktop(), "wide");
    expectAnswers(peer, {"focused", "set", "focusfield", "dump"});
}

TEST_F(MisbehavingApp, AnEndlessChainEnds) {
    MisbehavingPeer peer(desktop(), "chain");
    expectAnswers(peer, {"focused", "set"});
}

TEST_F(MisbehavingApp, ACycleEnds) {
    MisbehavingPeer peer(desktop(), "cycle");
    expectAnswers(peer, {"focused", "set"});
}

TEST_F(MisbehavingApp, AnswersOfTheWrongTypeCountAsNoAnswer) {
    MisbehavingPeer peer(desktop(), "wrong-types");
    expectAnswers(peer, {"focused", "dump"});
}

// A browser answers a search for the focused element, and a request for its whole tree, by going
// through the whole page; neither may be needed to find the field the caret is in.
TEST_F(MisbehavingApp, AFieldInAHugePageIsFoundByItsCaretAlone) {
    MisbehavingPeer peer(desktop(), "page");
    const FieldpilotResult run = fieldpilot({"focused"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.reply["pid"], peer.pid());
    EXPECT_EQ(run.reply.value("role", ""), "AXTextField") << run.standardOutput;
    EXPECT_THAT(peer.log(), Not(HasSubstr("GetItems")));
}

TEST_F(MisbehavingApp, ALargeValueIsReadWhole) {
    MisbehavingPeer peer(desktop(), "large-text");
    const FieldpilotResult run = fieldpilot({"focused"});
    ASSERT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.reply["pid"], peer.pid());
    EXPECT_EQ(run.reply.value("role", ""), "AXTextField");
    EXPECT_EQ(run.reply.value("value", "").size(), 10u * 1024 * 1024);
}

}  // namespace
}  // namespace live_desktop
