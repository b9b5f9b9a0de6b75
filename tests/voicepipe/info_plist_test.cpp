// The information property list travels inside the executable, with the permission prompts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string contentsOf(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

TEST(InfoPlist, IsEmbeddedWholeAsTheInfoPlistSection) {
    const std::filesystem::path extracted =
        std::filesystem::temp_directory_path() / ("voicepipe-plist-" + std::to_string(getpid()));
    const std::string command = "objcopy -O binary --only-section=.info_plist '" +
                                std::string(VOICEPIPE_EXE) + "' '" + extracted.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string embedded = contentsOf(extracted);
    std::filesystem::remove(extracted);
    EXPECT_EQ(embedded, contentsOf(VOICEPIPE_INFO_PLIST));
}

}  // namespace
