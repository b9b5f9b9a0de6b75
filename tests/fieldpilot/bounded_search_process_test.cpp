// The breadth-first searches on a window that lists itself thousands of times as a child: they
// queue no more than their budget can still examine, so they finish in a small address space.
#include <gtest/gtest.h>

#include <string>

#include "support/process_runner.h"

namespace fieldpilot::test {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

constexpr int kSelfReferences = 5000;

std::string selfListingWindow() {
    std::string children;
    for (int i = 0; i < kSelfReferences; ++i)
        children += std::string(i == 0 ? "" : ",") + R"({"element": "w"})";
    return R"({"frontmost": 7, "apps": [{"pid": 7, "AXFocusedWindow": {"element": "w"},
        "AXFocusedUIElement": {"error": -25212}}],
      "elements": {"w": {"pid": 7, "AXRole": "AXWindow", "AXChildren": [)" +
           children + "]}}}";
}

// The program under a 128 MiB address space: queueing every child examined would take several
// times that.
ProgramResult runInSmallAddressSpace(std::vector<std::string> args) {
    args.insert(args.begin(), {"-c", R"(ulimit -v 131072 && exec "$0" "$@")", FIELDPILOT_EXE});
    return runProgram("/bin/sh", {.args = args, .desktop = selfListingWindow()});
}

TEST(BoundedSearch, QueuesNoMoreThanTheBudgetCanStillExamine) {
    if (kAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit";
    const ProgramResult focusfield = runInSmallAddressSpace({"focusfield", "7"});
    EXPECT_EQ(focusfield.exitStatus, 1);
    EXPECT_EQ(focusfield.standardOutput, "{\"error\":\"no_text_field\"}\n");

    const ProgramResult focused = runInSmallAddressSpace({"focused"});
    EXPECT_EQ(focused.exitStatus, 0);
    EXPECT_NE(focused.standardOutput.find("\"via\":\"none\""), std::string::npos);

    const ProgramResult dump = runInSmallAddressSpace({"dump", "4000"});
    EXPECT_EQ(dump.exitStatus, 0);
    EXPECT_TRUE(dump.standardOutput.ends_with("visited=4000\n"));
}

}  // namespace
}  // namespace fieldpilot::test
