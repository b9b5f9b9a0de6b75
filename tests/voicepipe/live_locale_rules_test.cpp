// Which model the live recogniser loads for a locale, and which locale the process asks for.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "platform/pulse_sphinx/locale_rules.h"
#include "support/sim_files.h"

namespace voicepipe::platform::pulse_sphinx {
namespace {

namespace fs = std::filesystem;

class ModelLookupTest : public ::testing::Test {
  protected:
    // A model folder laid out as the pocketsphinx-en-us package installs it.
    fs::path installModel(const std::string& name) {
        const fs::path folder = root / name;
        fs::create_directories(folder / name);
        touch(folder / name / "mdef");
        touch(folder / (name + "-phone.lm.bin"));
        touch(folder / (name + ".lm.bin"));
        touch(folder / ("cmudict-" + name + ".dict"));
        return folder;
    }

    static void touch(const fs::path& file) { std::ofstream{file}; }

    testing::SimScratchFolder scratch;
    fs::path root = scratch.path("models");
};

TEST_F(ModelLookupTest, FindsTheFilesOfTheLocalesFolderAndNotThePhoneModel) {
    const fs::path folder = installModel("en-us");

    const auto model = findModel(root, "en-US");

    ASSERT_TRUE(model);
    EXPECT_EQ(model->acousticModel, folder / "en-us");
    EXPECT_EQ(model->languageModel, folder / "en-us.lm.bin");
    EXPECT_EQ(model->dictionary, folder / "cmudict-en-us.dict");
}

TEST_F(ModelLookupTest, PrefersTheRegionThenTakesAnyModelOfTheLanguage) {
    installModel("en-gb");
    installModel("en-us");
    installModel("fr-fr");

    EXPECT_EQ(findModel(root, "en_US")->acousticModel, root / "en-us" / "en-us");
    EXPECT_EQ(findModel(root, "en-GB")->acousticModel, root / "en-gb" / "en-gb");
    EXPECT_EQ(findModel(root, "en-AU")->acousticModel, root / "en-gb" / "en-gb");
    EXPECT_EQ(findModel(root, "EN")->acousticModel, root / "en-gb" / "en-gb");
    EXPECT_FALSE(findModel(root, "de-DE"));
    EXPECT_FALSE(findModel(root, "e"));
    EXPECT_FALSE(findModel(root, ""));
}

TEST_F(ModelLookupTest, AnIncompleteFolderIsNoModel) {
    const fs::path folder = installModel("en-us");
    fs::remove(folder / "cmudict-en-us.dict");

    EXPECT_FALSE(findModel(root, "en-US"));
    EXPECT_FALSE(findModel(scratch.path("nowhere"), "en-US"));
}

std::string localeOf(const std::map<std::string, std::string>& variables) {
    return processLocaleIdentifier([&](const char* name) -> const char* {
        const auto found = variables.find(name);
        return found != variables.end() ? found->second.c_str() : nullptr;
    });
}

TEST(ProcessLocaleTest, LcAllThenLcMessagesThenLangWithoutCodesetOrModifier) {
    EXPECT_EQ(
        localeOf({{"LC_ALL", "de_DE.UTF-8@euro"}, {"LC_MESSAGES", "fr_FR"}, {"LANG", "it_IT"}}),
        "de_DE");
    EXPECT_EQ(localeOf({{"LC_ALL", ""}, {"LC_MESSAGES", "fr_FR.UTF-8"}, {"LANG", "it_IT"}}),
              "fr_FR");
    EXPECT_EQ(localeOf({{"LANG", "en_GB.UTF-8"}}), "en_GB");
}

TEST(ProcessLocaleTest, TheCAndPosixLocalesAndNoneSetNameNoLanguage) {
    EXPECT_EQ(localeOf({}), "");
    EXPECT_EQ(localeOf({{"LANG", "C.UTF-8"}}), "");
    EXPECT_EQ(localeOf({{"LC_ALL", "POSIX"}, {"LANG", "en_US.UTF-8"}}), "");
}

}  // namespace
}  // namespace voicepipe::platform::pulse_sphinx
