// The simulated microphone: which sound each buffer carries, the buffers themselves, and the
// capture thread from engine start to stop (in real time, over a few 64 ms buffers).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <condition_variable>
#include <mutex>
#include <variant>

#include "platform/linux/event_loop.h"
#include "platform/sim/captured_audio.h"
#include "platform/sim/sim_dictation.h"
#include "support/sim_files.h"

namespace voicepipe::platform::sim {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr auto kGiveUpAfter = 10s;

float rootMeanSquare(const AudioBuffer& buffer) {
    double sum = 0;
    for (std::uint32_t frame = 0; frame < buffer.frameLength(); ++frame) {
        sum += double{buffer.floatChannel0()[frame]} * buffer.floatChannel0()[frame];
    }
    return static_cast<float>(std::sqrt(sum / buffer.frameLength()));
}

TEST(CapturedSound, EachBufferTakesTheSegmentItStartsInThenSilence) {
    // 0.1 s is 1600 frames: buffers 0 and 1 start inside it, buffer 2 starts at frame 2048.
    const std::vector<AudioSegment> audio = {
        {0.1, 0.5f, true}, {0.0, 0.9f, true}, {0.1, 0.25f, false}};

    EXPECT_EQ(soundOfBuffer(audio, 0), (BufferSound{0.5f, true}));
    EXPECT_EQ(soundOfBuffer(audio, 1), (BufferSound{0.5f, true}));
    EXPECT_EQ(soundOfBuffer(audio, 2), (BufferSound{0.25f, false}))
        << "a segment of no length gives no buffer";
    EXPECT_EQ(soundOfBuffer(audio, 3), (BufferSound{0.25f, false}));
    EXPECT_EQ(soundOfBuffer(audio, 4), (BufferSound{0.0f, true}));
    EXPECT_EQ(soundOfBuffer({}, 0), (BufferSound{0.0f, true}));
}

TEST(CapturedSound, BufferAlternatesPlusAndMinusRmsOrCarriesNoFloatData) {
    CapturedBuffer buffer;
    buffer.fill({0.1f, true});

    ASSERT_EQ(buffer.frameLength(), 1024u);
    ASSERT_NE(buffer.floatChannel0(), nullptr);
    EXPECT_EQ(buffer.floatChannel0()[0], 0.1f);
    EXPECT_EQ(buffer.floatChannel0()[1], -0.1f);
    EXPECT_EQ(buffer.floatChannel0()[1023], -0.1f);
    EXPECT_FLOAT_EQ(rootMeanSquare(buffer), 0.1f);

    buffer.fill({0.1f, false});
    EXPECT_EQ(buffer.floatChannel0(), nullptr);
    EXPECT_EQ(buffer.frameLength(), 1024u);
}

struct Captured {
    std::uint32_t frames;
    bool hasFloatData;
    float rms;
};

class SimEngineTest : public ::testing::Test {
  protected:
    std::unique_ptr<SimDictation> open(const std::string& scenarioText) {
        auto log = CallLog::appendingTo(logPath);
        return std::make_unique<SimDictation>(std::get<Scenario>(parseScenario(scenarioText)),
                                              std::get<std::unique_ptr<CallLog>>(std::move(log)),
                                              loop);
    }

    // The tap of the program: appends every buffer, and here also records it.
    TapBlock recordingTap(RecognitionRequest& request) {
        return [this, &request](const AudioBuffer& buffer) {
            request.append(buffer);
            std::lock_guard lock(mutex);
            if (stopped) {
                ++callsAfterStop;
            }
            captured.push_back({buffer.frameLength(), buffer.floatChannel0() != nullptr,
                                buffer.floatChannel0() ? rootMeanSquare(buffer) : 0.0f});
            capturedMore.notify_all();
        };
    }

    bool waitForBuffers(std::size_t count) {
        std::unique_lock lock(mutex);
        return capturedMore.wait_for(lock, kGiveUpAfter, [&] { return captured.size() >= count; });
    }

    testing::SimScratchFolder folder;
    const std::string logPath = folder.path("calls.jsonl");
    linux_backend::EventLoop loop;
    std::mutex mutex;
    std::condition_variable capturedMore;
    std::vector<Captured> captured;
    bool stopped = false;
    int callsAfterStop = 0;
};

TEST_F(SimEngineTest, CaptureDeliversTheScenarioFromStartToStopAndNeverAfter) {
    auto dictation = open(R"({"audio": [{"seconds": 0.064, "rms": 0.5},
                                        {"seconds": 0.064, "rms": 0.1, "float": false}]})");
    auto engine = dictation->createAudioEngine();
    auto request = dictation->createBufferRecognitionRequest();
    const AudioFormat format = engine->inputFormat(0);
    EXPECT_EQ(format.sampleRate, 16000);
    EXPECT_EQ(format.channelCount, 1u);

    engine->installTap(0, 1024, format, recordingTap(*request));
    engine->prepare();
    ASSERT_EQ(engine->start(), std::nullopt);
    EXPECT_TRUE(engine->isRunning());
    ASSERT_TRUE(waitForBuffers(3));
    engine->stop();
    std::size_t capturedAtStop;
    {
        std::lock_guard lock(mutex);
        stopped = true;
        capturedAtStop = captured.size();
    }
    EXPECT_FALSE(engine->isRunning());
    engine->removeTap(0);

    std::lock_guard lock(mutex);
    EXPECT_EQ(callsAfterStop, 0);
    EXPECT_EQ(captured[0].frames, 1024u);
    EXPECT_TRUE(captured[0].hasFloatData);
    EXPECT_FLOAT_EQ(captured[0].rms, 0.5f);
    EXPECT_FALSE(captured[1].hasFloatData);
    EXPECT_TRUE(captured[2].hasFloatData);
    EXPECT_EQ(captured[2].rms, 0.0f) << "silence follows the last segment";

    const auto lines = testing::readLogLines(logPath);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], json::parse(R"({"op":"tap","bus":0,"frames":1024})"));
    EXPECT_EQ(testing::opsOf(lines), (std::vector<std::string>{"tap", "engineStart", "engineStop",
                                                               "appended", "removeTap"}));
    EXPECT_EQ(lines[3]["buffers"], capturedAtStop);
    EXPECT_EQ(lines[4], json::parse(R"({"op":"removeTap","bus":0})"));
}

TEST_F(SimEngineTest, EngineErrorFailsTheStartWithItsDescription) {
    auto dictation = open(R"({"engineError": "The input device is busy."})");
    auto engine = dictation->createAudioEngine();
    auto request = dictation->createBufferRecognitionRequest();
    engine->installTap(0, 1024, engine->inputFormat(0), recordingTap(*request));

    EXPECT_EQ(engine->start(), "The input device is busy.");
    EXPECT_FALSE(engine->isRunning());
    engine->stop();

    EXPECT_EQ(testing::opsOf(testing::readLogLines(logPath)),
              (std::vector<std::string>{"tap", "engineStart", "engineStop"}))
        << "an engine that never ran appends nothing";
}

TEST_F(SimEngineTest, EngineDroppedWhileRunningEndsItsCaptureQuietly) {
    auto dictation = open("{}");
    auto request = dictation->createBufferRecognitionRequest();
    {
        auto engine = dictation->createAudioEngine();
        engine->installTap(0, 1024, engine->inputFormat(0), recordingTap(*request));
        ASSERT_EQ(engine->start(), std::nullopt);
    }
    EXPECT_EQ(testing::opsOf(testing::readLogLines(logPath)),
              (std::vector<std::string>{"tap", "engineStart"}));
}

}  // namespace
}  // namespace voicepipe::platform::sim
