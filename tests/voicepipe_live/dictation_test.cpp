// voicepipe dictating for real: audio captured through a private PulseAudio server from
// synthesised speech played into it, recognised with the installed English model.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <sstream>

#include "shared/temporary_folder.h"
#include "support/helper_program.h"
#include "support/live_dictation.h"
#include "support/voicepipe_process.h"

namespace voicepipe::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

// Speech at a -15 dBFS peak meters well above this; the noise floor meters 0.
constexpr double kSpeakingLevel = 0.3;
constexpr double kQuietLevel = 0.1;

std::size_t wordCount(const std::string& text) {
    std::istringstream words(text);
    return static_cast<std::size_t>(std::distance(std::istream_iterator<std::string>(words),
                                                  std::istream_iterator<std::string>()));
}

TEST(LiveDictationTest, SpokenDigitsStreamAsPartialsThenStopAfterTheSpeechAsTheFinalText) {
    PulseServer server;
    ASSERT_TRUE(server.ready()) << server.log();
    const auto clip = synthesizeSpeech("one two three four five", server.scratchFolder());
    ASSERT_TRUE(clip);

    const DictationRun run = dictate(VOICEPIPE_EXE, server, *clip);

    // The capture thread may meter its first buffer before "listening" is written.
    const auto firstStatus =
        std::find_if(run.events.begin(), run.events.end(),
                     [](const TimedEvent& event) { return event.key != "level"; });
    ASSERT_NE(firstStatus, run.events.end());
    ASSERT_EQ(firstStatus->text, "listening");
    const auto levels = run.withKey("level");
    ASSERT_FALSE(levels.empty());
    const auto loudest = std::max_element(levels.begin(), levels.end(),
                                          [](auto& a, auto& b) { return a.number < b.number; });
    EXPECT_GE(loudest->number, kSpeakingLevel);
    const auto quiet = [](const TimedEvent& level) { return level.number <= kQuietLevel; };
    EXPECT_TRUE(std::any_of(levels.begin(), loudest, quiet)) << "quiet before the speech";
    EXPECT_TRUE(std::any_of(loudest, levels.end(), quiet)) << "quiet after the speech";

    const auto partials = run.withKey("partial");
    ASSERT_GE(partials.size(), 2u);
    EXPECT_LT(wordCount(partials.front().text), wordCount(partials.back().text));

    const auto autoStop = run.find("status", "auto_stop");
    ASSERT_TRUE(autoStop && run.speechEnd);
    EXPECT_GT(autoStop->at, *run.speechEnd);
    EXPECT_EQ(run.events.back().key, "final");
    EXPECT_EQ(run.events.back().text, "one two three four five");
    EXPECT_EQ(run.exitStatus, 0);
}

TEST(LiveDictationTest, WithoutAnAudioServerTheMicrophoneFails) {
    const test_support::TemporaryFolder folder("voicepipe-live");
    VoicepipeProcess voicepipe(
        Launch{.program = VOICEPIPE_EXE,
               .arguments = {"en-US", kSilenceSeconds},
               .environment = {{"PULSE_SERVER", "unix:" + (folder.path() / "native").string()},
                               {"HOME", folder.path().string()},
                               {"XDG_RUNTIME_DIR", folder.path().string()}}});
    const auto lines = voicepipe.allLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_THAT(lines.front(), StartsWith(R"({"error":"mic: )"));
    EXPECT_EQ(voicepipe.waitForEnd(), 4);
}

TEST(LiveDictationTest, UnknownLocaleWithADefaultLanguageWithoutAModelIsUnavailable) {
    const test_support::TemporaryFolder folder("voicepipe-live");
    ASSERT_TRUE(runHelperProgram(
        {"localedef", "-i", "fr_FR", "-f", "UTF-8", (folder.path() / "fr_FR.UTF-8").string()}));
    VoicepipeProcess voicepipe(Launch{.program = VOICEPIPE_EXE,
                                      .arguments = {"xx-XX", kSilenceSeconds},
                                      .environment = {{"LOCPATH", folder.path().string()},
                                                      {"LANG", "fr_FR.UTF-8"},
                                                      {"LC_MESSAGES", "fr_FR.UTF-8"},
                                                      {"LC_ALL", "fr_FR.UTF-8"}}});
    EXPECT_THAT(voicepipe.allLines(), ElementsAre(R"({"error":"unavailable"})"));
    EXPECT_EQ(voicepipe.waitForEnd(), 3);
}

}  // namespace
}  // namespace voicepipe::testing
