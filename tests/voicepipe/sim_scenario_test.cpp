// Scenario files of the simulated dictation platform: defaults, every key, locale matching, and
// the one-line problems that a broken file gives instead of a crash.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "platform/sim/scenario.h"
#include "support/sim_files.h"

namespace voicepipe::platform::sim {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

Scenario parsed(const std::string& text) {
    auto result = parseScenario(text);
    if (auto* problem = std::get_if<std::string>(&result)) {
        ADD_FAILURE() << "unexpected problem: " << *problem;
        return {};
    }
    return std::get<Scenario>(result);
}

std::string problemOf(const std::string& text) {
    auto result = parseScenario(text);
    if (!std::holds_alternative<std::string>(result)) {
        ADD_FAILURE() << "accepted: " << text;
        return {};
    }
    return std::get<std::string>(result);
}

TEST(ScenarioFile, EmptyObjectGivesAnAvailableEnUsRecognizerGrantedAtOnceAndSilence) {
    const Scenario scenario = parsed("{}");

    ASSERT_EQ(scenario.recognizers.size(), 1u);
    const RecognizerTraits& enUs = scenario.recognizers.at("en-US");
    EXPECT_TRUE(enUs.available);
    EXPECT_TRUE(enUs.onDevice);
    EXPECT_EQ(scenario.currentLocale, "en-US");
    EXPECT_EQ(scenario.defaultLanguage, "en-US");
    EXPECT_EQ(scenario.speech, SpeechAuthorization::Authorized);
    EXPECT_EQ(scenario.speechDelay, Micros{0});
    EXPECT_TRUE(scenario.microphone);
    EXPECT_EQ(scenario.microphoneDelay, Micros{0});
    EXPECT_FALSE(scenario.engineError);
    EXPECT_TRUE(scenario.audio.empty());
    EXPECT_TRUE(scenario.results.empty());
    EXPECT_TRUE(scenario.afterEnd.empty());
    EXPECT_FALSE(scenario.logFile);
}

TEST(ScenarioFile, EveryKeyIsRead) {
    const Scenario scenario = parsed(R"({
        "recognizers": {"fr-FR": {"available": false, "onDevice": false}, "de_DE": {}},
        "currentLocale": "fr_FR",
        "defaultLanguage": "de-DE",
        "speech": 1,
        "speechDelay": 0.25,
        "microphone": false,
        "microphoneDelay": 1.5,
        "engineError": "no input device",
        "audio": [{"seconds": 1.0, "rms": 0.1, "float": false}, {}],
        "results": [{"at": 0.4, "text": "Hello", "final": false},
                    {"at": 0.6, "text": "Hello.", "final": true, "error": "late"},
                    {}],
        "afterEnd": [{"after": 0.2, "error": "No speech detected"}],
        "logFile": "/tmp/calls.jsonl"
    })");

    ASSERT_EQ(scenario.recognizers.size(), 2u);
    EXPECT_FALSE(scenario.recognizers.at("fr-FR").available);
    EXPECT_FALSE(scenario.recognizers.at("fr-FR").onDevice);
    EXPECT_TRUE(scenario.recognizers.at("de_DE").available) << "entry keys default to true";
    EXPECT_EQ(scenario.currentLocale, "fr_FR");
    EXPECT_EQ(scenario.defaultLanguage, "de-DE");
    EXPECT_EQ(scenario.speech, SpeechAuthorization::Denied);
    EXPECT_EQ(scenario.speechDelay, Micros{250'000});
    EXPECT_FALSE(scenario.microphone);
    EXPECT_EQ(scenario.microphoneDelay, Micros{1'500'000});
    EXPECT_EQ(scenario.engineError, "no input device");

    ASSERT_EQ(scenario.audio.size(), 2u);
    EXPECT_DOUBLE_EQ(scenario.audio[0].seconds, 1.0);
    EXPECT_FLOAT_EQ(scenario.audio[0].rms, 0.1f);
    EXPECT_FALSE(scenario.audio[0].hasFloatData);
    EXPECT_TRUE(scenario.audio[1].hasFloatData);

    ASSERT_EQ(scenario.results.size(), 3u);
    EXPECT_EQ(scenario.results[0].offset, Micros{400'000});
    ASSERT_TRUE(scenario.results[0].result);
    EXPECT_EQ(scenario.results[0].result->bestTranscription, "Hello");
    EXPECT_FALSE(scenario.results[0].result->isFinal);
    EXPECT_FALSE(scenario.results[0].error);
    ASSERT_TRUE(scenario.results[1].result);
    EXPECT_TRUE(scenario.results[1].result->isFinal);
    ASSERT_TRUE(scenario.results[1].error);
    EXPECT_EQ(scenario.results[1].error->localizedDescription, "late");
    EXPECT_FALSE(scenario.results[2].result) << "an empty delivery carries neither";
    EXPECT_FALSE(scenario.results[2].error);

    ASSERT_EQ(scenario.afterEnd.size(), 1u);
    EXPECT_EQ(scenario.afterEnd[0].offset, Micros{200'000});
    EXPECT_FALSE(scenario.afterEnd[0].result);
    EXPECT_EQ(scenario.afterEnd[0].error->localizedDescription, "No speech detected");
    EXPECT_EQ(scenario.logFile, "/tmp/calls.jsonl");
}

TEST(ScenarioFile, NullMeansNeverAnsweredNoDefaultRecognizerAndAnEngineThatStarts) {
    const Scenario scenario = parsed(
        R"({"speechDelay": null, "microphoneDelay": null, "defaultLanguage": null,
            "engineError": null, "recognizers": {}})");

    EXPECT_FALSE(scenario.speechDelay);
    EXPECT_FALSE(scenario.microphoneDelay);
    EXPECT_FALSE(scenario.defaultLanguage);
    EXPECT_FALSE(scenario.engineError);
    EXPECT_TRUE(scenario.recognizers.empty());
}

TEST(ScenarioFile, WrongTypesAreProblemsThatNameTheKey) {
    const std::pair<const char*, const char*> cases[] = {
        {R"({"recognizers": []})", "recognizers must be an object"},
        {R"({"recognizers": {"en-US": true}})", "recognizers[\"en-US\"] must be an object"},
        {R"({"recognizers": {"en-US": {"available": 1}}})", "recognizers[\"en-US\"].available"},
        {R"({"currentLocale": 5})", "currentLocale must be a string"},
        {R"({"defaultLanguage": false})", "defaultLanguage must be a string or null"},
        {R"({"speech": "3"})", "speech must be an integer"},
        {R"({"speech": 3.5})", "speech must be an integer"},
        {R"({"speech": 4294967299})", "speech must be an integer from 0 to 3"},
        {R"({"speech": -1})", "speech must be an integer from 0 to 3"},
        {R"({"speech": 4})", "speech must be an integer from 0 to 3"},
        {R"({"speechDelay": "soon"})", "speechDelay must be a number of seconds or null"},
        {R"({"microphone": null})", "microphone must be true or false"},
        {R"({"microphoneDelay": -1})", "microphoneDelay must be a number of seconds"},
        {R"({"engineError": 4})", "engineError must be a string or null"},
        {R"({"audio": {}})", "audio must be an array"},
        {R"({"audio": [{"seconds": 1}, 2]})", "audio[1] must be an object"},
        {R"({"audio": [{"rms": "loud"}]})", "audio[0].rms must be a number"},
        {R"({"audio": [{"rms": 1e300}]})", "audio[0].rms must be a number"},
        {R"({"audio": [{"float": 0}]})", "audio[0].float must be true or false"},
        {R"({"results": [{"at": "0.4"}]})", "results[0].at must be a number of seconds"},
        {R"({"results": [{"text": ["a"]}]})", "results[0].text must be a string"},
        {R"({"results": [{"text": "a", "final": "yes"}]})", "results[0].final"},
        {R"({"afterEnd": [{"after": 1e20}]})", "afterEnd[0].after must be a number of seconds"},
        {R"({"afterEnd": [{"error": 500}]})", "afterEnd[0].error must be a string"},
        {R"({"logFile": null})", "logFile must be a string"},
        {R"([])", "JSON object"},
        {R"({"speech": 3,})", "not valid JSON"},
        {"", "not valid JSON"},
    };
    for (const auto& [text, expected] : cases) {
        const std::string problem = problemOf(text);
        EXPECT_THAT(problem, HasSubstr(expected)) << text;
        EXPECT_EQ(problem.find('\n'), std::string::npos) << text;
    }
}

TEST(ScenarioFile, NumbersAndNestingBeyondTheLimitsAreProblemsNotCrashes) {
    const auto nested = [](std::size_t depth) {
        return R"({"pad": ")" + std::string(depth, '{') + R"(", "deep": )" +
               std::string(depth - 1, '[') + std::string(depth - 1, ']') + "}";
    };
    EXPECT_THAT(problemOf(R"({"pad": 1e400})"), HasSubstr("number too large"));
    EXPECT_THAT(problemOf(R"({"results": [{"at": -1e400}]})"), HasSubstr("number too large"));
    EXPECT_THAT(problemOf(nested(513)), HasSubstr("deeper than 512"));
    EXPECT_THAT(problemOf(nested(40'000)), HasSubstr("deeper than 512"));
    parsed(nested(512));  // brackets inside a string do not count
}

TEST(ScenarioFile, UnknownKeysAreLeftForLaterExtensions) {
    const Scenario scenario = parsed(R"({"comment": "first try", "results": [{"note": 1}]})");
    EXPECT_EQ(scenario.results.size(), 1u);
}

TEST(ScenarioFile, LoadingNamesTheFileInEveryProblem) {
    testing::SimScratchFolder folder;
    const std::string missing = folder.path("missing.json");
    const std::string broken = folder.write("broken\nname.json", R"({"speech": true})");
    const std::string good = folder.write("good.json", R"({"currentLocale": "sv-SE"})");

    const auto missingProblem = std::get<std::string>(loadScenario(missing));
    EXPECT_THAT(missingProblem, HasSubstr(missing));
    EXPECT_THAT(missingProblem, HasSubstr("No such file"));
    const auto brokenProblem = std::get<std::string>(loadScenario(broken));
    EXPECT_THAT(brokenProblem, HasSubstr(folder.path("broken?name.json")));
    EXPECT_EQ(brokenProblem.find('\n'), std::string::npos);
    EXPECT_THAT(std::get<std::string>(loadScenario(folder.path(""))), HasSubstr("cannot read"));
    EXPECT_THAT(std::get<std::string>(loadScenario("/dev/zero")), HasSubstr("larger than"));
    EXPECT_EQ(std::get<Scenario>(loadScenario(good)).currentLocale, "sv-SE");
}

TEST(RecognizerLookup, UnderscoreAndDashCountAsTheSameButNothingElseIsLoosened) {
    const Scenario scenario =
        parsed(R"({"recognizers": {"en-US": {}, "pt_BR": {"onDevice": false}}})");

    EXPECT_NE(scenario.recognizerFor("en_US"), nullptr);
    EXPECT_NE(scenario.recognizerFor("en-US"), nullptr);
    ASSERT_NE(scenario.recognizerFor("pt-BR"), nullptr);
    EXPECT_FALSE(scenario.recognizerFor("pt-BR")->onDevice);
    EXPECT_EQ(scenario.recognizerFor("en-us"), nullptr);
    EXPECT_EQ(scenario.recognizerFor("en"), nullptr);
    EXPECT_EQ(scenario.recognizerFor(""), nullptr);
}

}  // namespace
}  // namespace voicepipe::platform::sim
