// The disclaimed relaunch of the built program. Linux has no disclaim function, so these tests
// preload one that accepts: voicepipe then runs as a relaunching parent and its marked child.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "support/voicepipe_process.h"

namespace voicepipe::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using json = nlohmann::json;

const json kAwaitingPermission = {{"speechDelay", nullptr}};

// The NUL-separated entries of /proc/<pid>/<file>.
std::vector<std::string> procEntries(pid_t pid, const std::string& file) {
    std::ifstream stream("/proc/" + std::to_string(pid) + "/" + file);
    std::vector<std::string> entries;
    for (std::string entry; std::getline(stream, entry, '\0');)
        entries.push_back(entry);
    return entries;
}

class RelaunchTest : public ::testing::Test {
  protected:
    Launch preloaded(const json& scenario, std::vector<std::string> arguments = {}) {
        std::string sanitizerOptions = "verify_asan_link_order=0";
        if (const char* options = std::getenv("ASAN_OPTIONS")) {
            sanitizerOptions = std::string(options) + ":" + sanitizerOptions;
        }
        return Launch{.program = VOICEPIPE_EXE,
                      .arguments = std::move(arguments),
                      .environment = {{"VOICEPIPE_SCENARIO", folder.write(scenario)},
                                      {"LD_PRELOAD", VOICEPIPE_DISCLAIM_PRELOAD},
                                      {"ASAN_OPTIONS", sanitizerOptions}}};
    }

    ScenarioFolder folder;
};

TEST_F(RelaunchTest, ChildRunsTheSameProgramWithTheSameArgumentsAndTheMarker) {
    VoicepipeProcess parent(preloaded(kAwaitingPermission, {"en-US", "30", "extra"}));
    ASSERT_TRUE(folder.waitForOp("authorize"));
    const std::optional<pid_t> child = childOf(parent.pid());
    ASSERT_TRUE(child);
    EXPECT_EQ(std::filesystem::read_symlink("/proc/" + std::to_string(*child) + "/exe"),
              std::filesystem::canonical(VOICEPIPE_EXE));
    EXPECT_THAT(procEntries(*child, "cmdline"), ElementsAre(VOICEPIPE_EXE, "en-US", "30", "extra"));
    EXPECT_THAT(procEntries(*child, "environ"), ::testing::Contains("QL_DICTATE_DISCLAIMED=1"));
    EXPECT_FALSE(hasChildren(*child));
}

class RelayedSignalTest : public RelaunchTest, public ::testing::WithParamInterface<int> {};

// SIGHUP would end the child without an event line: a "final" line shows it arrived as SIGTERM.
TEST_P(RelayedSignalTest, ReachesTheChildAsSigtermWhichFinishesNormally) {
    VoicepipeProcess parent(preloaded(kAwaitingPermission));
    ASSERT_TRUE(folder.waitForOp("authorize"));
    parent.signal(GetParam());
    EXPECT_THAT(parent.allLines(), ElementsAre(R"({"final":""})"));
    EXPECT_EQ(parent.waitForEnd(), 0);
}

INSTANTIATE_TEST_SUITE_P(TermIntHup, RelayedSignalTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

TEST_F(RelaunchTest, ParentEndsWithTheChildsExitStatus) {
    VoicepipeProcess parent(preloaded({{"speech", 1}}));
    EXPECT_THAT(parent.allLines(), ElementsAre(R"({"error":"speech_denied"})"));
    EXPECT_EQ(parent.waitForEnd(), 2);
}

TEST_F(RelaunchTest, HostThatIgnoresChildEndsStillGetsTheChildsStatus) {
    Launch launch = preloaded({{"speech", 1}});
    launch.ignoringChildEnds = true;
    VoicepipeProcess parent(launch);
    EXPECT_THAT(parent.allLines(), ElementsAre(R"({"error":"speech_denied"})"));
    EXPECT_EQ(parent.waitForEnd(), 2);
}

TEST_F(RelaunchTest, ChildKilledBySignalGivesStatus1) {
    VoicepipeProcess parent(preloaded(kAwaitingPermission));
    ASSERT_TRUE(folder.waitForOp("authorize"));
    const std::optional<pid_t> child = childOf(parent.pid());
    ASSERT_TRUE(child);
    kill(*child, SIGKILL);
    EXPECT_EQ(parent.waitForEnd(), 1);
}

TEST_F(RelaunchTest, KillingTheParentLeavesTheChildToItsWatchdog) {
    adoptOrphans();
    VoicepipeProcess parent(preloaded(kAwaitingPermission));
    ASSERT_TRUE(folder.waitForOp("authorize"));
    const std::optional<pid_t> child = childOf(parent.pid());
    ASSERT_TRUE(child);
    parent.signal(SIGKILL);
    EXPECT_EQ(parent.waitForEnd(), -SIGKILL);
    EXPECT_EQ(waitForEndOf(*child), 0);
    EXPECT_THAT(parent.allLines(), IsEmpty());
}

TEST_F(RelaunchTest, MarkerAlreadyPresentEvenEmptyMeansNoRelaunch) {
    Launch launch = preloaded(kAwaitingPermission);
    launch.environment["QL_DICTATE_DISCLAIMED"] = "";
    VoicepipeProcess voicepipe(launch);
    ASSERT_TRUE(folder.waitForOp("authorize"));
    EXPECT_FALSE(hasChildren(voicepipe.pid()));
    voicepipe.signal(SIGTERM);
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(R"({"final":""})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 0);
}

TEST_F(RelaunchTest, RelativeProgramPathIsResolvedAgainstTheCurrentDirectory) {
    const std::filesystem::path program(VOICEPIPE_EXE);
    Launch launch = preloaded(kAwaitingPermission);
    launch.workingDirectory = program.parent_path().parent_path();
    launch.argument0 = "./" + program.parent_path().filename().string() + "/../" +
                       program.parent_path().filename().string() + "/" +
                       program.filename().string();
    VoicepipeProcess parent(launch);
    ASSERT_TRUE(folder.waitForOp("authorize"));
    EXPECT_TRUE(childOf(parent.pid()));
}

TEST_F(RelaunchTest, BareNameThatIsNoFileHereRunsUndisclaimed) {
    Launch launch = preloaded(kAwaitingPermission);
    launch.workingDirectory = folder.path();
    launch.argument0 = "voicepipe";
    VoicepipeProcess voicepipe(launch);
    ASSERT_TRUE(folder.waitForOp("authorize"));
    EXPECT_FALSE(hasChildren(voicepipe.pid()));
    voicepipe.closeInput();
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(R"({"final":""})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 0);
}

}  // namespace
}  // namespace voicepipe::testing
