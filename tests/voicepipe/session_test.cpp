// The recognition session on a virtual clock: auto-stop rules, results and errors, stop and
// finish, and the audio tap's metering.
#include "session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "support/dictation_fixture.h"

namespace voicepipe::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr auto kListening = R"({"status":"listening"})";
constexpr auto kAutoStop = R"({"status":"auto_stop"})";

class SessionTest : public DictationFixture {
  protected:
    void startListening() {
        start(process, recognizer);
        ASSERT_EQ(recognizer->tasksOpened, 1);
    }
    void recognize(const std::string& text, bool isFinal = false) {
        recognizer->deliver(queue, text, isFinal);
        queue.runFor(0us);
    }
    void fail(const std::string& description) {
        recognizer->deliver(queue, std::nullopt, false, description);
        queue.runFor(0us);
    }
};

TEST_F(SessionTest, StartTapsTheInputBusStartsTheEngineAndSaysListening) {
    startListening();
    EXPECT_THAT(engine->calls, ElementsAre("installTap 0 1024", "prepare", "start"));
    EXPECT_THAT(lines(), ElementsAre(kListening));
}

TEST_F(SessionTest, EngineThatDoesNotStartEndsWithMicErrorAndStatus4) {
    engine->startFailure = "The input device is busy.";
    start(process, recognizer);
    EXPECT_THAT(lines(), ElementsAre(R"({"error":"mic: The input device is busy."})"));
    EXPECT_EQ(exitStatus, kExitEngineFailed);
    EXPECT_EQ(recognizer->tasksOpened, 0);
}

TEST_F(SessionTest, WithoutAnInputDeviceNothingIsTappedAndItEndsWithMicErrorAndStatus4) {
    engine->format = {0, 0};
    start(process, recognizer);
    EXPECT_THAT(engine->calls, IsEmpty());
    EXPECT_THAT(lines(), ElementsAre(R"({"error":"mic: no audio input device"})"));
    EXPECT_EQ(exitStatus, kExitEngineFailed);
}

struct EngineStepFailure {
    std::string step;
    std::optional<std::string> FakeEngine::*failure;
    std::vector<std::string> calls;  // up to the failing step, and none after it
};
void PrintTo(const EngineStepFailure& failure, std::ostream* out) {
    *out << failure.step;
}

class EngineStepFailureTest : public SessionTest,
                              public ::testing::WithParamInterface<EngineStepFailure> {};

TEST_P(EngineStepFailureTest, EndsWithMicErrorAndStatus4WithoutTakingTheNextStep) {
    (*engine).*GetParam().failure = "required condition is false";
    start(process, recognizer);
    EXPECT_EQ(engine->calls, GetParam().calls);
    EXPECT_THAT(lines(), ElementsAre(R"({"error":"mic: required condition is false"})"));
    EXPECT_EQ(exitStatus, kExitEngineFailed);
}

INSTANTIATE_TEST_SUITE_P(
    TapOrPrepare, EngineStepFailureTest,
    ::testing::Values(EngineStepFailure{"Tap", &FakeEngine::tapFailure, {"installTap 0 1024"}},
                      EngineStepFailure{"Prepare",
                                        &FakeEngine::prepareFailure,
                                        {"installTap 0 1024", "prepare"}}),
    [](const auto& info) { return info.param.step; });

TEST_F(SessionTest, AChangeOfAudioHardwareStopsTheDictationAsAStopRequestDoes) {
    startListening();
    recognize("Hello");
    engine->tap(FakeBuffer::withRms(0.1f));  // loud: the silence rule would never fire
    queue.runFor(1s);
    engine->changeConfiguration(queue);
    queue.runFor(0us);
    EXPECT_EQ(request->endAudioCalls, 1);
    queue.runFor(1'500ms);
    EXPECT_THAT(lines(), ElementsAre(kListening, R"({"partial":"Hello"})", R"({"level":0.6})",
                                     R"({"final":"Hello"})"));
    EXPECT_EQ(exitStatus, kExitFinished);
}

TEST_F(SessionTest, WithoutSpeechTheNinetySecondCapStopsThenFinalFollowsAfterTheDelay) {
    startListening();
    queue.runFor(89'800ms);
    EXPECT_THAT(lines(), ElementsAre(kListening));

    queue.runFor(200ms);
    EXPECT_THAT(lines(), ElementsAre(kListening, kAutoStop));
    EXPECT_THAT(engine->calls,
                ElementsAre("installTap 0 1024", "prepare", "start", "stop", "removeTap 0"));
    EXPECT_EQ(request->endAudioCalls, 1);

    queue.runFor(1'499ms);
    EXPECT_FALSE(exitStatus);
    queue.runFor(1ms);
    EXPECT_THAT(lines(), ElementsAre(kListening, kAutoStop, R"({"final":""})"));
    EXPECT_EQ(exitStatus, kExitFinished);
}

TEST_F(SessionTest, QuietForSilenceSecondsAfterTheLastChangeStopsOnTheNextTick) {
    startListening();
    queue.runFor(100ms);
    recognize("Hello");
    queue.runFor(1'300ms);  // 1.3 s since the change at the tick of 1.4 s
    EXPECT_THAT(lines(), ElementsAre(kListening, R"({"partial":"Hello"})"));
    queue.runFor(200ms);
    EXPECT_THAT(lines(), ElementsAre(kListening, R"({"partial":"Hello"})", kAutoStop));
}

TEST_F(SessionTest, LoudInputWithoutNewWordsKeepsTheSessionOpenUntilItQuietens) {
    startListening();
    recognize("Hello");
    engine->tap(FakeBuffer::withRms(0.1f));  // level 0.6
    queue.runFor(10s);
    EXPECT_THAT(lines(), ::testing::Not(::testing::Contains(kAutoStop)));

    engine->tap(FakeBuffer::withRms(0.0f));
    queue.runFor(200ms);
    EXPECT_EQ(lines().back(), kAutoStop);
}

TEST_F(SessionTest, QuietMeansALevelBelowPoint45) {
    startListening();
    recognize("Hello");
    process.lastLevel = 0.45f;
    queue.runFor(5s);
    EXPECT_THAT(lines(), ::testing::Not(::testing::Contains(kAutoStop)));
    process.lastLevel = 0.4499f;
    queue.runFor(200ms);
    EXPECT_EQ(lines().back(), kAutoStop);
}

TEST_F(SessionTest, RepeatedAndCanonicallyEquivalentTextWritesPartialsButIsNoChange) {
    const std::string precomposed = "caf\u00e9";
    const std::string decomposed = "cafe\u0301";
    startListening();
    queue.runFor(100ms);
    recognize(precomposed);
    queue.runFor(400ms);
    recognize(precomposed);
    queue.runFor(500ms);
    recognize(decomposed);
    queue.runFor(600ms);  // 1.5 s after the first text: the silence rule fires
    EXPECT_THAT(lines(), ElementsAre(kListening, "{\"partial\":\"" + precomposed + "\"}",
                                     "{\"partial\":\"" + precomposed + "\"}",
                                     "{\"partial\":\"" + decomposed + "\"}", kAutoStop));
}

TEST_F(SessionTest, NewTextRestartsTheSilence) {
    startListening();
    queue.runFor(100ms);
    recognize("Hello");
    queue.runFor(900ms);
    recognize("Hello world");
    queue.runFor(1'200ms);  // 2.2 s: only 1.2 s since the change
    EXPECT_THAT(lines(), ::testing::Not(::testing::Contains(kAutoStop)));
    queue.runFor(200ms);
    EXPECT_EQ(lines().back(), kAutoStop);
}

class SilenceRuleOffTest : public SessionTest, public ::testing::WithParamInterface<double> {};

TEST_P(SilenceRuleOffTest, OnlyTheCapStopsTheSession) {
    process.silenceSeconds = GetParam();
    startListening();
    recognize("Hello");
    queue.runFor(89'800ms);
    EXPECT_EQ(lines().back(), R"({"partial":"Hello"})");
    queue.runFor(200ms);
    EXPECT_EQ(lines().back(), kAutoStop);
}

INSTANTIATE_TEST_SUITE_P(ZeroNegativeOrNotANumber, SilenceRuleOffTest,
                         ::testing::Values(0.0, -1.0, std::nan("")));

TEST_F(SessionTest, FinalResultFinishesAtOnceAndAnAccompanyingErrorIsIgnored) {
    startListening();
    recognizer->deliver(queue, "Hello world.", true, "ignored");
    queue.runFor(0us);
    EXPECT_THAT(lines(), ElementsAre(kListening, R"({"final":"Hello world."})"));
    EXPECT_EQ(exitStatus, kExitFinished);
}

TEST_F(SessionTest, ErrorBeforeAnyTextEndsWithTheDescriptionAndStatus5) {
    startListening();
    fail("No speech detected");
    EXPECT_THAT(lines(), ElementsAre(kListening, R"({"error":"No speech detected"})"));
    EXPECT_EQ(exitStatus, kExitRecognitionFailed);
}

TEST_F(SessionTest, ErrorAfterTextFinishesWithThatText) {
    startListening();
    recognize("Hi");
    fail("Connection lost");
    EXPECT_THAT(lines(), ElementsAre(kListening, R"({"partial":"Hi"})", R"({"final":"Hi"})"));
    EXPECT_EQ(exitStatus, kExitFinished);
}

TEST_F(SessionTest, ErrorAfterStopFinishesAtOnceEvenWithoutText) {
    startListening();
    stop(process);
    fail("Canceled");
    EXPECT_THAT(lines(), ElementsAre(kListening, R"({"final":""})"));
    EXPECT_EQ(exitStatus, kExitFinished);
}

TEST_F(SessionTest, FinalLineCarriesTextThatArrivedDuringTheDelay) {
    startListening();
    stop(process);
    queue.runFor(1s);
    recognize("late words");
    queue.runFor(500ms);
    EXPECT_THAT(lines(), ElementsAre(kListening, R"({"partial":"late words"})",
                                     R"({"final":"late words"})"));
}

TEST_F(SessionTest, StopBeforeStartEndsTheAudioAndFinishesEmptyAfterTheDelay) {
    stop(process);
    EXPECT_THAT(engine->calls, IsEmpty());
    EXPECT_EQ(request->endAudioCalls, 1);
    queue.runFor(1'499ms);
    EXPECT_THAT(lines(), IsEmpty());
    queue.runFor(1ms);
    EXPECT_THAT(lines(), ElementsAre(R"({"final":""})"));
    EXPECT_EQ(exitStatus, kExitFinished);
}

TEST_F(SessionTest, SecondStopChangesNothing) {
    startListening();
    stop(process);
    queue.runFor(1s);
    stop(process);
    queue.runFor(5s);
    EXPECT_EQ(request->endAudioCalls, 1);
    EXPECT_THAT(lines(), ElementsAre(kListening, R"({"final":""})"));
}

TEST_F(SessionTest, TapAppendsEveryBufferAndMeasuresAtMostEvery66Milliseconds) {
    startListening();
    engine->tap(FakeBuffer::withRms(0.1f));
    queue.runFor(66ms);
    engine->tap(FakeBuffer::withRms(0.1f));  // exactly 0.066 s later: not measured
    queue.runFor(1ms);
    engine->tap(FakeBuffer::withoutFloatData());  // due, but nothing to measure
    engine->tap(FakeBuffer::withRms(1.0f));       // still due: the measurement time did not move
    EXPECT_EQ(request->appended, 4);
    EXPECT_THAT(lines(), ElementsAre(kListening, R"({"level":0.6})", R"({"level":1})"));
}

TEST_F(SessionTest, TapHandsTheLevelToTheMainQueue) {
    startListening();
    engine->tap(FakeBuffer::withRms(1.0f));
    EXPECT_EQ(process.lastLevel, 0.0f);
    queue.runFor(0us);
    EXPECT_EQ(process.lastLevel, 1.0f);
}

}  // namespace
}  // namespace voicepipe::testing
