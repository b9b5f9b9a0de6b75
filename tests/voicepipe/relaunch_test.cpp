// Where the relaunch finds the program to spawn.
#include "relaunch.h"

#include <gtest/gtest.h>

namespace voicepipe {
namespace {

TEST(ChildPath, ArgumentZeroIsResolvedAgainstTheCurrentDirectoryAndStandardized) {
    EXPECT_EQ(absoluteStandardizedPath("voicepipe", "/opt/app"), "/opt/app/voicepipe");
    EXPECT_EQ(absoluteStandardizedPath("./bin/../voicepipe", "/opt/app"), "/opt/app/voicepipe");
    EXPECT_EQ(absoluteStandardizedPath("../../../voicepipe", "/opt/app"), "/voicepipe");
    EXPECT_EQ(absoluteStandardizedPath("/usr/./lib/../bin/voicepipe", "/opt/app"),
              "/usr/bin/voicepipe");
}

}  // namespace
}  // namespace voicepipe
