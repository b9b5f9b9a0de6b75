// The live services in process: the audio engine without a server, the permission answers, and
// a recognition task of the installed model from its first buffer to its final result.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <vector>

#include "platform/linux/event_loop.h"
#include "platform/pulse_sphinx/live_dictation.h"
#include "platform/pulse_sphinx/pulse_audio_engine.h"
#include "platform/pulse_sphinx/sphinx_recognition.h"
#include "support/sim_files.h"

namespace voicepipe::platform::pulse_sphinx {
namespace {

using namespace std::chrono_literals;

constexpr auto kGiveUpAfter = 20s;

class SilentBuffer final : public AudioBuffer {
  public:
    std::uint32_t frameLength() const override { return 1024; }
    const float* floatChannel0() const override { return samples_.data(); }

  private:
    std::vector<float> samples_ = std::vector<float>(1024);
};

class LiveServicesTest : public ::testing::Test {
  protected:
    // Runs the main queue until `done` holds or the test gives up.
    template <typename Predicate>
    bool runUntil(Predicate done) {
        const auto deadline = std::chrono::steady_clock::now() + kGiveUpAfter;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            loop.runOnce(Micros{100'000});
        }
        return done();
    }

    linux_backend::EventLoop loop;
    LiveDictation dictation{loop, [](const char*) -> const char* { return nullptr; }};
};

TEST_F(LiveServicesTest, WithoutAnAudioServerStartFailsWithTheServersError) {
    testing::SimScratchFolder scratch;
    setenv("PULSE_SERVER", ("unix:" + scratch.path("no-server")).c_str(), 1);
    auto engine = dictation.createAudioEngine();
    engine->installTap(0, 1024, engine->inputFormat(0), [](const AudioBuffer&) {});

    EXPECT_EQ(engine->start(), "Connection refused");
    EXPECT_FALSE(engine->isRunning());
    unsetenv("PULSE_SERVER");
}

TEST_F(LiveServicesTest, BothPermissionsAreGrantedOnceThroughTheMainQueue) {
    int speechAnswers = 0;
    int microphoneAnswers = 0;
    dictation.requestSpeechAuthorization([&](SpeechAuthorization status) {
        EXPECT_EQ(status, SpeechAuthorization::Authorized);
        ++speechAnswers;
    });
    dictation.requestMicrophoneAccess([&](bool granted) {
        EXPECT_TRUE(granted);
        ++microphoneAnswers;
    });
    EXPECT_EQ(speechAnswers + microphoneAnswers, 0);

    loop.runDue();
    loop.runDue();
    EXPECT_EQ(speechAnswers, 1);
    EXPECT_EQ(microphoneAnswers, 1);
}

TEST_F(LiveServicesTest, AfterTheEndOfAudioTheTaskDeliversOneFinalResult) {
    auto recognizer = dictation.createRecognizer("en-US");
    ASSERT_NE(recognizer, nullptr) << "the pocketsphinx-en-us model is not installed";
    auto request = dictation.createBufferRecognitionRequest();
    std::vector<RecognitionResult> results;
    // Buffers appended before the task opens wait for it, as the session relies on.
    request->append(SilentBuffer());
    auto task =
        recognizer->recognitionTask(*request, [&](const std::optional<RecognitionResult>& result,
                                                  const std::optional<RecognitionError>& error) {
            EXPECT_FALSE(error);
            results.push_back(*result);
        });
    for (int i = 0; i < 20; ++i) {
        request->append(SilentBuffer());
    }
    request->endAudio();

    ASSERT_TRUE(runUntil([&] { return !results.empty() && results.back().isFinal; }));
    EXPECT_EQ(results.back().bestTranscription, "");
    EXPECT_EQ(results.size(), 1u);
}

TEST_F(LiveServicesTest, ATaskEndedBeforeItsAudioStopsDecodingWithoutAResult) {
    auto recognizer = dictation.createRecognizer("en-US");
    ASSERT_NE(recognizer, nullptr);
    auto request = dictation.createBufferRecognitionRequest();
    int calls = 0;
    auto task = recognizer->recognitionTask(
        *request, [&](const std::optional<RecognitionResult>&,
                      const std::optional<RecognitionError>&) { ++calls; });
    request->append(SilentBuffer());

    // Whatever the decoding thread delivered is on the main queue once the task is gone.
    task.reset();
    request->endAudio();
    loop.runDue();
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace voicepipe::platform::pulse_sphinx
