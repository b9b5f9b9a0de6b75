// The permission chain: speech first, then the microphone, every decision on the main queue.
#include "authorization.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "support/dictation_fixture.h"

namespace voicepipe::testing {
namespace {

using namespace std::chrono_literals;
using platform::SpeechAuthorization;
using ::testing::ElementsAre;

class AuthorizationTest : public DictationFixture {
  protected:
    void SetUp() override { requestAuthorization(process, dictation, recognizer); }

    FakeDictation dictation;
};

TEST_F(AuthorizationTest, BothGrantedStartsTheSessionFromTheMainQueue) {
    dictation.speechHandler(SpeechAuthorization::Authorized);
    EXPECT_FALSE(dictation.microphoneHandler);  // decided on the main queue, not in the handler
    queue.runFor(0us);
    dictation.microphoneHandler(true);
    EXPECT_EQ(recognizer->tasksOpened, 0);
    queue.runFor(0us);
    EXPECT_EQ(recognizer->tasksOpened, 1);
    EXPECT_THAT(lines(), ElementsAre(R"({"status":"listening"})"));
}

class SpeechRefusedTest : public AuthorizationTest,
                          public ::testing::WithParamInterface<SpeechAuthorization> {};

TEST_P(SpeechRefusedTest, WritesSpeechDeniedAndExits2WithoutAskingForTheMicrophone) {
    dictation.speechHandler(GetParam());
    queue.runFor(0us);
    EXPECT_THAT(lines(), ElementsAre(R"({"error":"speech_denied"})"));
    EXPECT_EQ(exitStatus, kExitPermissionDenied);
    EXPECT_FALSE(dictation.microphoneHandler);
}

INSTANTIATE_TEST_SUITE_P(EveryStatusButAuthorized, SpeechRefusedTest,
                         ::testing::Values(SpeechAuthorization::NotDetermined,
                                           SpeechAuthorization::Denied,
                                           SpeechAuthorization::Restricted));

}  // namespace
}  // namespace voicepipe::testing
