// Start-up steps that decide something: which recogniser, how the request is set, when standard
// input has ended.
#include "startup.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <thread>

#include "support/fake_dictation.h"

namespace voicepipe::testing {
namespace {

using ::testing::ElementsAre;

class OpenRecognizerTest : public ::testing::Test {
  protected:
    FakeDictation dictation;
    std::shared_ptr<FakeRecognizer> french = std::make_shared<FakeRecognizer>();
    std::shared_ptr<FakeRecognizer> english = std::make_shared<FakeRecognizer>();
};

TEST_F(OpenRecognizerTest, TakesTheLocalesRecognizer) {
    dictation.recognizers["fr-FR"] = french;
    dictation.defaultRecognizer = english;
    EXPECT_EQ(openRecognizer(dictation, "fr-FR"), french);
    EXPECT_THAT(dictation.recognizersAskedFor, ElementsAre("fr-FR"));
}

TEST_F(OpenRecognizerTest, FallsBackToTheDefaultLanguageWhenTheLocaleHasNone) {
    dictation.defaultRecognizer = english;
    EXPECT_EQ(openRecognizer(dictation, "xx-YY"), english);
    EXPECT_THAT(dictation.recognizersAskedFor, ElementsAre("xx-YY", ""));
}

TEST_F(OpenRecognizerTest, NoneOrAnUnavailableOneIsUnusable) {
    EXPECT_EQ(openRecognizer(dictation, "xx-YY"), nullptr);

    english->available = false;
    dictation.defaultRecognizer = english;
    EXPECT_EQ(openRecognizer(dictation, "xx-YY"), nullptr);

    // An unavailable recogniser for the locale is not replaced by the default one.
    french->available = false;
    dictation.recognizers["fr-FR"] = french;
    dictation.defaultRecognizer = std::make_shared<FakeRecognizer>();
    EXPECT_EQ(openRecognizer(dictation, "fr-FR"), nullptr);
}

TEST(CreateRequest, ReportsPartialsAddsPunctuationAndStaysOnTheDeviceOnlyWhereSupported) {
    FakeDictation dictation;
    FakeRecognizer onDevice;
    FakeRecognizer remote;
    remote.onDevice = false;

    const auto local = createRequest(dictation, onDevice);
    const auto& localSettings = dynamic_cast<const FakeRequest&>(*local);
    EXPECT_EQ(localSettings.partialResults, true);
    EXPECT_EQ(localSettings.punctuation, true);
    EXPECT_EQ(localSettings.onDevice, true);

    const auto served = createRequest(dictation, remote);
    const auto& servedSettings = dynamic_cast<const FakeRequest&>(*served);
    EXPECT_EQ(servedSettings.partialResults, true);
    EXPECT_EQ(servedSettings.punctuation, true);
    EXPECT_EQ(servedSettings.onDevice, std::nullopt) << "left at the platform's default";
}

TEST(WaitForEndOfInput, DiscardsBytesUntilTheWriterCloses) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    // A host may hand over a non-blocking pipe: waiting must not turn into an early end.
    ASSERT_EQ(fcntl(ends[0], F_SETFL, O_NONBLOCK), 0);
    std::thread watcher([reader = ends[0]] { waitForEndOfInput(reader); });
    ASSERT_EQ(write(ends[1], "stop\n", 5), 5);
    close(ends[1]);
    watcher.join();
    char byte;
    EXPECT_EQ(read(ends[0], &byte, 1), 0);  // everything was read
    close(ends[0]);
}

TEST(WaitForEndOfInput, AnUnreadableDescriptorCountsAsTheEnd) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    close(ends[1]);
    waitForEndOfInput(ends[0]);
}

}  // namespace
}  // namespace voicepipe::testing
