// The built program as the host uses it, on the simulated dictation platform in real time:
// event lines, the ways a dictation ends, and the exit statuses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <nlohmann/json.hpp>

#include "support/voicepipe_process.h"

namespace voicepipe::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using json = nlohmann::json;

// The permission answers never come: the dictation waits until the host ends it.
const json kAwaitingPermission = {{"speechDelay", nullptr}};

class ProcessTest : public ::testing::Test {
  protected:
    Launch launchWith(const json& scenario, std::vector<std::string> arguments = {}) {
        return Launch{.program = VOICEPIPE_EXE,
                      .arguments = std::move(arguments),
                      .environment = {{"VOICEPIPE_SCENARIO", folder.write(scenario)}}};
    }

    ScenarioFolder folder;
};

TEST_F(ProcessTest, PartialsThenTheRecognizersFinalResult) {
    VoicepipeProcess voicepipe(launchWith({
        {"audio", {{{"seconds", 0.3}, {"rms", 0.1}}}},
        {"results",
         {{{"at", 0.1}, {"text", "Hel"}},
          {{"at", 0.2}, {"text", "Hello \"you\"\nthere"}},
          {{"at", 0.4}, {"text", "Hello world."}, {"final", true}}}},
    }));
    const auto lines = voicepipe.allLines();
    EXPECT_THAT(
        withoutLevels(lines),
        ElementsAre(R"({"status":"listening"})", R"({"partial":"Hel"})",
                    R"({"partial":"Hello \"you\"\nthere"})", R"({"final":"Hello world."})"));
    EXPECT_THAT(lines, ::testing::Contains(R"({"level":0.6})"));
    for (const std::string& line : lines) {
        const json event = json::parse(line, nullptr, false);
        EXPECT_TRUE(event.is_object() && event.size() == 1) << line;
    }
    EXPECT_EQ(voicepipe.waitForEnd(), 0);
}

class StopSignalTest : public ProcessTest, public ::testing::WithParamInterface<int> {};

TEST_P(StopSignalTest, StopsListeningAndWritesTheTextSoFar) {
    VoicepipeProcess voicepipe(
        launchWith({{"results", {{{"at", 0.05}, {"text", "Hello"}}}}}, {"en-US", "30"}));
    ASSERT_TRUE(voicepipe.readUntil("partial"));
    voicepipe.signal(GetParam());
    EXPECT_THAT(
        withoutLevels(voicepipe.allLines()),
        ElementsAre(R"({"status":"listening"})", R"({"partial":"Hello"})", R"({"final":"Hello"})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 0);
    EXPECT_THAT(folder.loggedOps(), ::testing::IsSupersetOf({"engineStop", "endAudio"}));
}

INSTANTIATE_TEST_SUITE_P(TermAndInt, StopSignalTest, ::testing::Values(SIGTERM, SIGINT));

TEST_F(ProcessTest, SignalBeforeListeningFinishesWithEmptyText) {
    VoicepipeProcess voicepipe(launchWith(kAwaitingPermission));
    ASSERT_TRUE(folder.waitForOp("authorize"));
    voicepipe.signal(SIGINT);
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(R"({"final":""})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 0);
}

TEST_F(ProcessTest, TwoSignalsGiveOneFinalLine) {
    VoicepipeProcess voicepipe(launchWith(kAwaitingPermission));
    ASSERT_TRUE(folder.waitForOp("authorize"));
    voicepipe.signal(SIGTERM);
    voicepipe.signal(SIGTERM);
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(R"({"final":""})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 0);
}

TEST_F(ProcessTest, HangupEndsTheProcessWithoutAnEvent) {
    VoicepipeProcess voicepipe(launchWith(kAwaitingPermission));
    ASSERT_TRUE(folder.waitForOp("authorize"));
    voicepipe.signal(SIGHUP);
    EXPECT_THAT(voicepipe.allLines(), IsEmpty());
    EXPECT_EQ(voicepipe.waitForEnd(), -SIGHUP);
}

TEST_F(ProcessTest, InputBytesChangeNothingAndItsEndStops) {
    VoicepipeProcess voicepipe(launchWith(kAwaitingPermission));
    ASSERT_TRUE(folder.waitForOp("authorize"));
    voicepipe.writeInput("stop\n{\"final\":\"x\"}\n");
    voicepipe.closeInput();
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(R"({"final":""})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 0);
}

TEST_F(ProcessTest, InputAtEndFromTheStartStopsAtOnce) {
    Launch launch = launchWith(kAwaitingPermission);
    launch.inputAtEnd = true;
    VoicepipeProcess voicepipe(launch);
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(R"({"final":""})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 0);
}

TEST_F(ProcessTest, MissingInputReadsAsItsEnd) {
    Launch launch = launchWith(kAwaitingPermission);
    launch.inputClosed = true;
    VoicepipeProcess voicepipe(launch);
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(R"({"final":""})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 0);
}

TEST_F(ProcessTest, TooFewDescriptorsGiveAnErrorLineAndStatus6) {
#ifdef VOICEPIPE_TESTS_PROBE_VIRTUAL_CALLS
    GTEST_SKIP() << "the sanitizer runtime needs descriptors of its own";
#endif
    Launch launch = launchWith(kAwaitingPermission);
    launch.shellSetup = "ulimit -n 4";
    VoicepipeProcess voicepipe(launch);
    const std::vector<std::string> lines = voicepipe.allLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines[0], ::testing::StartsWith(R"({"error":"system: )"));
    EXPECT_THAT(lines[0], ::testing::HasSubstr("Too many open files"));
    EXPECT_EQ(voicepipe.waitForEnd(), 6);
}

TEST_F(ProcessTest, ParentGoneEndsTheProcessWithStatus0AndNoFinalLine) {
    adoptOrphans();
    Launch launch = launchWith(kAwaitingPermission);
    launch.throughShell = true;
    VoicepipeProcess shell(launch);
    ASSERT_TRUE(folder.waitForOp("authorize"));
    const std::optional<pid_t> dictation = childOf(shell.pid());
    ASSERT_TRUE(dictation);
    shell.signal(SIGKILL);
    EXPECT_EQ(shell.waitForEnd(), -SIGKILL);
    EXPECT_EQ(waitForEndOf(*dictation), 0);
    EXPECT_THAT(shell.allLines(), IsEmpty());
}

TEST_F(ProcessTest, UnavailableRecognizerWritesOneLineAndExits3BeforeAskingPermission) {
    VoicepipeProcess voicepipe(
        launchWith({{"recognizers", {{"en-US", {{"available", false}}}}}}, {"en-US"}));
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(R"({"error":"unavailable"})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 3);
    EXPECT_THAT(folder.loggedOps(), ::testing::Not(::testing::Contains("authorize")));
}

// Without a scenario the live services answer: no model for the locale, and the C locale names
// no default language.
TEST_F(ProcessTest, WithoutAScenarioAnUnknownLocaleInTheCLocaleIsUnavailable) {
    VoicepipeProcess voicepipe(
        Launch{.program = VOICEPIPE_EXE,
               .arguments = {"xx-XX"},
               .environment = {{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "C"}}});
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(R"({"error":"unavailable"})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 3);
}

TEST_F(ProcessTest, UnreadableScenarioExits1WithNothingOnStandardOutput) {
    Launch launch{.program = VOICEPIPE_EXE,
                  .environment = {{"VOICEPIPE_SCENARIO", (folder.path() / "missing").string()}}};
    VoicepipeProcess voicepipe(launch);
    EXPECT_THAT(voicepipe.allLines(), IsEmpty());
    EXPECT_EQ(voicepipe.waitForEnd(), 1);
}

TEST_F(ProcessTest, RefusedPermissionsExit2) {
    VoicepipeProcess speech(launchWith({{"speech", 2}}));
    EXPECT_THAT(speech.allLines(), ElementsAre(R"({"error":"speech_denied"})"));
    EXPECT_EQ(speech.waitForEnd(), 2);
    EXPECT_THAT(folder.loggedOps(), ::testing::Not(::testing::Contains("microphone")));

    VoicepipeProcess microphone(launchWith({{"microphone", false}}));
    EXPECT_THAT(microphone.allLines(), ElementsAre(R"({"error":"mic_denied"})"));
    EXPECT_EQ(microphone.waitForEnd(), 2);
}

TEST_F(ProcessTest, EngineThatDoesNotStartExits4) {
    VoicepipeProcess voicepipe(launchWith({{"engineError", "No input device."}}));
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(R"({"error":"mic: No input device."})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 4);
}

struct MicrophoneFailure {
    std::string name;
    json scenario;
    std::string error;
};
void PrintTo(const MicrophoneFailure& failure, std::ostream* out) {
    *out << failure.name;
}

class MicrophoneFailureTest : public ProcessTest,
                              public ::testing::WithParamInterface<MicrophoneFailure> {};

// AVFAudio raises exceptions here rather than returning errors; none may end the process silently.
TEST_P(MicrophoneFailureTest, WritesTheReasonAndExits4) {
    VoicepipeProcess voicepipe(launchWith(GetParam().scenario));
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(json{{"error", GetParam().error}}.dump()));
    EXPECT_EQ(voicepipe.waitForEnd(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    NoInputDeviceOrAnEngineException, MicrophoneFailureTest,
    ::testing::Values(MicrophoneFailure{"NoInputDevice",
                                        {{"inputFormat", {{"sampleRate", 0}, {"channels", 0}}}},
                                        "mic: no audio input device"},
                      MicrophoneFailure{
                          "EngineException",
                          {{"engineException", "com.apple.coreaudio.avfaudio error -10868"}},
                          "mic: com.apple.coreaudio.avfaudio error -10868"}),
    [](const auto& info) { return info.param.name; });

TEST_F(ProcessTest, AChangeOfAudioHardwareEndsTheDictationWithTheTextSoFar) {
    VoicepipeProcess voicepipe(launchWith({{"audio", {{{"seconds", 10}, {"rms", 0.1}}}},
                                           {"results", {{{"at", 0.05}, {"text", "Hello"}}}},
                                           {"configurationChangeAt", 0.3}}));
    EXPECT_THAT(
        withoutLevels(voicepipe.allLines()),
        ElementsAre(R"({"status":"listening"})", R"({"partial":"Hello"})", R"({"final":"Hello"})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 0);
    EXPECT_THAT(folder.loggedOps(), ::testing::Contains("configurationChange"));
}

TEST_F(ProcessTest, RecognitionErrorBeforeAnyTextExits5) {
    VoicepipeProcess voicepipe(
        launchWith({{"results", {{{"at", 0.05}, {"error", "Speech service unreachable."}}}}}));
    EXPECT_THAT(
        withoutLevels(voicepipe.allLines()),
        ElementsAre(R"({"status":"listening"})", R"({"error":"Speech service unreachable."})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 5);
}

TEST_F(ProcessTest, UnknownLocaleFallsBackAndSilenceArgumentStopsTheSession) {
    VoicepipeProcess voicepipe(
        launchWith({{"recognizers", {{"en-US", {{"available", true}, {"onDevice", false}}}}},
                    {"results", {{{"at", 0.05}, {"text", "Hi"}}}},
                    {"afterEnd", {{{"after", 0.05}, {"text", "Hi there"}, {"final", true}}}}},
                   {"xx-YY", "0.2"}));
    EXPECT_THAT(withoutLevels(voicepipe.allLines()),
                ElementsAre(R"({"status":"listening"})", R"({"partial":"Hi"})",
                            R"({"status":"auto_stop"})", R"({"final":"Hi there"})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 0);
    const std::vector<std::string> ops = folder.loggedOps();
    ASSERT_GE(ops.size(), 2u);
    EXPECT_THAT(std::vector<std::string>(ops.begin(), ops.begin() + 2),
                ElementsAre("recognizer", "recognizer"));
}

}  // namespace
}  // namespace voicepipe::testing
