// The simulated dictation services in process: recognisers per locale, permission answers, the
// timing of deliveries on the main queue, the call log, and how a Linux build opens them.
#include "platform/sim/sim_dictation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <thread>
#include <variant>

#include "platform/linux/event_loop.h"
#include "platform/pulse_sphinx/live_dictation.h"
#include "support/loop_clock.h"
#include "support/sim_files.h"

namespace voicepipe::platform::sim {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr auto kGiveUpAfter = 10s;

struct Call {
    std::optional<RecognitionResult> result;
    std::optional<RecognitionError> error;
};

class SimDictationTest : public ::testing::Test {
  protected:
    std::unique_ptr<SimDictation> open(const std::string& scenarioText) {
        auto parsed = parseScenario(scenarioText);
        if (auto* problem = std::get_if<std::string>(&parsed)) {
            ADD_FAILURE() << *problem;
            return nullptr;
        }
        auto log = CallLog::appendingTo(logPath);
        return std::make_unique<SimDictation>(std::get<Scenario>(std::move(parsed)),
                                              std::get<std::unique_ptr<CallLog>>(std::move(log)),
                                              loop);
    }

    ResultHandler recordCalls() {
        return [this](const std::optional<RecognitionResult>& result,
                      const std::optional<RecognitionError>& error) {
            calls.push_back({result, error});
        };
    }

    void runUntil(Micros time) {
        clock.advanceTo(time);
        loop.runDue();
    }

    std::vector<json> log() const { return testing::readLogLines(logPath); }

    testing::SimScratchFolder folder;
    const std::string logPath = folder.path("calls.jsonl");
    testing::ManualClock clock;
    linux_backend::EventLoop loop{clock.reader()};
    std::vector<Call> calls;
};

TEST_F(SimDictationTest, RecognizersExistForTheScenariosLocalesAndTheDefaultLanguage) {
    auto dictation = open(R"({"recognizers": {"fr-FR": {"available": false, "onDevice": false},
                                              "en-GB": {}},
                              "currentLocale": "de_CH", "defaultLanguage": "en_GB"})");

    EXPECT_EQ(dictation->currentLocaleIdentifier(), "de_CH");
    const auto french = dictation->createRecognizer("fr_FR");
    ASSERT_NE(french, nullptr);
    EXPECT_FALSE(french->isAvailable());
    EXPECT_FALSE(french->supportsOnDeviceRecognition());
    EXPECT_EQ(dictation->createRecognizer("de_CH"), nullptr);
    const auto byDefault = dictation->createDefaultRecognizer();
    ASSERT_NE(byDefault, nullptr);
    EXPECT_TRUE(byDefault->isAvailable());
    EXPECT_TRUE(byDefault->supportsOnDeviceRecognition());

    EXPECT_THAT(testing::readLogText(logPath),
                ElementsAre(R"({"op":"recognizer","locale":"fr_FR","created":true})",
                            R"({"op":"recognizer","locale":"de_CH","created":false})",
                            R"({"op":"recognizer","locale":null,"created":true})"));
}

TEST_F(SimDictationTest, PlainCreationGivesNoneWithoutADefaultLanguageOrItsRecognizer) {
    EXPECT_EQ(open(R"({"defaultLanguage": null})")->createDefaultRecognizer(), nullptr);
    EXPECT_EQ(open(R"({"defaultLanguage": "it-IT"})")->createDefaultRecognizer(), nullptr);
    EXPECT_NE(open(R"({"defaultLanguage": "en_US"})")->createDefaultRecognizer(), nullptr);
}

TEST_F(SimDictationTest, PermissionAnswersComeOnceFromAnotherThread) {
    auto dictation = open(R"({"speech": 2, "microphone": false, "microphoneDelay": 0.01})");
    std::promise<std::pair<SpeechAuthorization, std::thread::id>> speech;
    std::promise<std::pair<bool, std::thread::id>> microphone;

    dictation->requestSpeechAuthorization([&](SpeechAuthorization status) {
        speech.set_value({status, std::this_thread::get_id()});
    });
    dictation->requestMicrophoneAccess([&](bool granted) {
        microphone.set_value({granted, std::this_thread::get_id()});
    });

    auto speechAnswer = speech.get_future();
    auto microphoneAnswer = microphone.get_future();
    ASSERT_EQ(speechAnswer.wait_for(kGiveUpAfter), std::future_status::ready);
    ASSERT_EQ(microphoneAnswer.wait_for(kGiveUpAfter), std::future_status::ready);
    const auto [status, speechThread] = speechAnswer.get();
    const auto [granted, microphoneThread] = microphoneAnswer.get();
    EXPECT_EQ(status, SpeechAuthorization::Restricted);
    EXPECT_NE(speechThread, std::this_thread::get_id());
    EXPECT_FALSE(granted);
    EXPECT_NE(microphoneThread, std::this_thread::get_id());
    EXPECT_EQ(testing::opsOf(log()), (std::vector<std::string>{"authorize", "microphone"}));
}

TEST_F(SimDictationTest, UnansweredOrPendingPromptsNeitherAnswerNorHoldUpTheEnd) {
    bool answered = false;
    {
        auto dictation = open(R"({"speechDelay": null, "microphoneDelay": 1000})");
        dictation->requestSpeechAuthorization([&](SpeechAuthorization) { answered = true; });
        dictation->requestMicrophoneAccess([&](bool) { answered = true; });
    }
    EXPECT_FALSE(answered);
}

TEST_F(SimDictationTest, ResultsArriveOnTheMainQueueTimedFromTheOpeningOfTheTask) {
    auto dictation = open(R"({"results": [{"at": 0.4, "text": "Hello"},
                                          {"at": 0.4, "text": "Hello world.", "final": true,
                                           "error": "Retry"},
                                          {"at": 0.7}]})");
    auto request = dictation->createBufferRecognitionRequest();
    request->setAddsPunctuation(true);
    request->setRequiresOnDeviceRecognition(true);
    clock.advanceTo(1s);
    auto task = dictation->createDefaultRecognizer()->recognitionTask(*request, recordCalls());

    runUntil(1'399'999us);
    EXPECT_TRUE(calls.empty());
    runUntil(1'400ms);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].result->bestTranscription, "Hello");
    EXPECT_FALSE(calls[0].result->isFinal);
    EXPECT_FALSE(calls[0].error);
    EXPECT_EQ(calls[1].result->bestTranscription, "Hello world.");
    EXPECT_TRUE(calls[1].result->isFinal);
    EXPECT_EQ(calls[1].error->localizedDescription, "Retry");
    runUntil(1'700ms);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_FALSE(calls[2].result);
    EXPECT_FALSE(calls[2].error);

    const auto lines = log();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], json::parse(R"({"op":"request","partial":true,"punctuation":true,
                                        "onDevice":true})"));
    EXPECT_EQ(lines[2], json::parse(R"({"op":"task"})"));
}

TEST_F(SimDictationTest, AfterEndDeliveriesWaitForTheEndOfTheAudioAndCountFromIt) {
    auto dictation = open(R"({"afterEnd": [{"after": 0.2, "text": "Done.", "final": true}]})");
    auto request = dictation->createBufferRecognitionRequest();
    auto task = dictation->createDefaultRecognizer()->recognitionTask(*request, recordCalls());

    runUntil(10s);
    EXPECT_TRUE(calls.empty());
    request->endAudio();
    request->endAudio();
    runUntil(10'199'999us);
    EXPECT_TRUE(calls.empty());
    runUntil(20s);

    ASSERT_EQ(calls.size(), 1u) << "the audio ends once";
    EXPECT_EQ(calls[0].result->bestTranscription, "Done.");
    EXPECT_EQ(log()[1], json::parse(R"({"op":"request","partial":true,"punctuation":false,
                                             "onDevice":false})"))
        << "settings never set keep the platform's defaults";
    EXPECT_EQ(testing::opsOf(log()),
              (std::vector<std::string>{"recognizer", "request", "task", "endAudio", "endAudio"}));
}

TEST_F(SimDictationTest, TaskOpenedAfterTheAudioEndedKeepsTheTimesCountedFromThatEnd) {
    auto dictation = open(R"({"afterEnd": [{"after": 0.1, "text": "overdue"},
                                           {"after": 0.2, "text": "on time"}]})");
    auto request = dictation->createBufferRecognitionRequest();
    clock.advanceTo(1s);
    request->endAudio();
    clock.advanceTo(1'150ms);
    auto task = dictation->createDefaultRecognizer()->recognitionTask(*request, recordCalls());

    loop.runDue();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].result->bestTranscription, "overdue");
    runUntil(1'200ms);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].result->bestTranscription, "on time");
}

class OpenDictationTest : public SimDictationTest {
  protected:
    ~OpenDictationTest() override { unsetenv("VOICEPIPE_SCENARIO"); }

    std::unique_ptr<Dictation> openNamed(const std::string& path, std::string& stderrText) {
        setenv("VOICEPIPE_SCENARIO", path.c_str(), 1);
        ::testing::internal::CaptureStderr();
        auto dictation = openDictation(loop);
        stderrText = ::testing::internal::GetCapturedStderr();
        return dictation;
    }
};

TEST_F(OpenDictationTest, WithoutAScenarioOrWithAnEmptyNameTheLiveServicesAnswer) {
    unsetenv("VOICEPIPE_SCENARIO");
    auto unset = openDictation(loop);
    setenv("VOICEPIPE_SCENARIO", "", 1);
    auto empty = openDictation(loop);

    EXPECT_NE(dynamic_cast<pulse_sphinx::LiveDictation*>(unset.get()), nullptr);
    EXPECT_NE(dynamic_cast<pulse_sphinx::LiveDictation*>(empty.get()), nullptr);
}

TEST_F(OpenDictationTest, ABrokenScenarioOrLogFileGivesOneLineNamingTheFileAndNoServices) {
    const std::string broken = folder.write("broken.json", "{\"audio\": 1}");
    const std::string badLog =
        folder.write("bad-log.json", R"({"logFile": ")" + folder.path("no/such/folder") + "\"}");
    std::string stderrText;

    EXPECT_EQ(openNamed(folder.path("missing.json"), stderrText), nullptr);
    EXPECT_THAT(stderrText, HasSubstr(folder.path("missing.json")));
    EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), 1);

    EXPECT_EQ(openNamed(broken, stderrText), nullptr);
    EXPECT_THAT(stderrText, HasSubstr(broken));
    EXPECT_THAT(stderrText, HasSubstr("audio must be an array"));

    EXPECT_EQ(openNamed(badLog, stderrText), nullptr);
    EXPECT_THAT(stderrText, HasSubstr(folder.path("no/such/folder")));
    EXPECT_EQ(std::count(stderrText.begin(), stderrText.end(), '\n'), 1);
}

TEST_F(OpenDictationTest, ANamedScenarioIsPlayedAndLogged) {
    const std::string scenario = folder.write(
        "scenario.json", R"({"recognizers": {"nb-NO": {}}, "logFile": ")" + logPath + "\"}");
    std::string stderrText;

    auto dictation = openNamed(scenario, stderrText);

    ASSERT_NE(dictation, nullptr);
    EXPECT_TRUE(stderrText.empty());
    EXPECT_NE(dictation->createRecognizer("nb_NO"), nullptr);
    EXPECT_EQ(testing::opsOf(log()), (std::vector<std::string>{"recognizer"}));
}

}  // namespace
}  // namespace voicepipe::platform::sim
