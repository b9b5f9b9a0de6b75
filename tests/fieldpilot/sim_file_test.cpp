// The desktop file: what a run saves, what it refuses to load, and how openDesktop picks, reports
// and saves the desktop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/sim/sim_desktop.h"

namespace fieldpilot::sim {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

TEST(SimSnapshot, KeepsUnknownKeysAndTheFileOrderOfElements) {
    auto desktop = SimDesktop::fromText(R"({"comment": "mine", "apps": [{"pid": 2, "x-note": 1},
        {"pid": 1}], "elements": {"zeta": {"pid": 1, "x-tag": [1]}, "alpha": {"pid": 1}},
        "log": [{"t": 0, "op": "start"}]})");
    const nlohmann::ordered_json saved = desktop->snapshot();
    EXPECT_EQ(saved["comment"], "mine");
    EXPECT_EQ(saved["apps"][0]["pid"], 2);
    EXPECT_EQ(saved["apps"][0]["x-note"], 1);
    EXPECT_EQ(saved["elements"]["zeta"]["x-tag"], nlohmann::ordered_json({1}));
    EXPECT_EQ(saved["log"].size(), 2u) << "the earlier run's log, then this run's start";
}

TEST(SimSnapshot, SavedFilesKeepTheElementOrderThatFocusDependsOn) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("sim_order_" + std::to_string(getpid()) + ".json");
    {
        auto desktop =
            SimDesktop::fromText(R"({"elements": {"zeta": {"pid": 1}, "alpha": {"pid": 1}}})");
        desktop->saveWhenDestroyed(path);
    }
    std::ifstream file(path);
    const auto saved = nlohmann::ordered_json::parse(file);
    std::filesystem::remove(path);
    EXPECT_EQ(saved["elements"].begin().key(), "zeta");
}

TEST(SimSnapshot, LogsEveryCallInOrderWithVirtualSeconds) {
    auto desktop = SimDesktop::fromText(R"({"apps": [{"pid": 3, "AXRole": "AXApplication"}]})");
    const platform::Element app = desktop->createApplicationElement(3);
    desktop->copyAttributeValue(app, "AXRole");
    desktop->sleepFor(std::chrono::milliseconds(150));
    bool settable = false;
    desktop->isAttributeSettable(app, "AXValue", settable);
    desktop->copyAttributeValue(desktop->createApplicationElement(4), "AXRole");
    const nlohmann::json log = desktop->snapshot()["log"];
    EXPECT_EQ(log, nlohmann::json::parse(R"([
        {"t": 0, "op": "start"},
        {"t": 0, "op": "read", "element": "app:3", "attribute": "AXRole", "status": 0},
        {"t": 0.15, "op": "settable", "element": "app:3", "attribute": "AXValue", "status": 0},
        {"t": 0.15, "op": "read", "element": "app:4", "attribute": "AXRole", "status": -25204}
    ])"));
}

TEST(SimSnapshot, SavesTheStateThatChanged) {
    auto desktop = SimDesktop::fromText(R"({"frontmost": 1, "apps": [{"pid": 1}, {"pid": 2}]})");
    desktop->activateApplication(2, 1);
    desktop->setAttributeValue(desktop->createSystemWideElement(), "AXMessagingTimeout", 1.0);
    const nlohmann::json saved = desktop->snapshot();
    EXPECT_EQ(saved["frontmost"], 2);
    EXPECT_EQ(saved["systemWide"]["AXMessagingTimeout"], 1.0);
    EXPECT_EQ(saved["clipboard"], "");
}

// Each of these files is refused with a message that says where the problem is.
TEST(SimLoadErrors, WrongTypesAnywhereAreNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"[]", "object"},
        {R"({"apps": 3})", "apps"},
        {R"({"apps": [{"name": "x"}]})", "apps[0]"},
        {R"({"apps": [{"pid": 1.5}]})", "apps[0].pid"},
        {R"({"apps": [{"pid": 1}, {"pid": 1}]})", "twice"},
        {R"({"apps": [{"pid": 1, "activation": "maybe"}]})", "activation"},
        {R"({"apps": [{"pid": 1, "AXValue": {"bogus": 1}}]})", "apps[0].AXValue"},
        {R"({"elements": {"e": {"AXRole": "x"}}})", "elements.e"},
        {R"({"elements": {"system": {"pid": 1}}})", "reserved"},
        {R"({"elements": {"e": {"pid": 1, "AXSize": {"size": [1]}}}})", "elements.e.AXSize"},
        {R"({"elements": {"e": {"pid": 1, "AXList": {"when": {}, "then": {"reads": [1, [0, {}]]}}}}})",
         "elements.e.AXList.then.reads[1][1]"},
        {R"({"elements": {"e": {"pid": 1, "AXFocused": {"reads": []}}}})", "reads"},
        {R"({"elements": {"e": {"pid": 1, "selection": [-1, 0]}}})", "elements.e.selection[0]"},
        {R"({"elements": {"e": {"pid": 1, "setErrors": {"AXValue": "no"}}}})", "setErrors"},
        {R"({"files": ["/a", 2]})", "files[1]"},
        {R"({"trusted": "yes"})", "trusted"},
        {R"({"frontmost": 5})", "frontmost"},
        {R"({"keyboard": {"layout": "dvorak"}})", "keyboard.layout"},
        {R"({"keyboard": {"layout": {"x": "a"}}})", "keyboard.layout.x"},
        {R"({"modifiers": [{"until": 1}]})", "modifiers[0]"},
        {R"({"windows": {"-1": {}}})", "windows.-1"},
        {R"({"log": {}})", "log"},
        {R"({"apps": )", "not valid JSON"},
    };
    for (const auto& [text, named] : cases) {
        try {
            SimDesktop::fromText(text);
            ADD_FAILURE() << "loaded: " << text;
        } catch (const LoadError& error) {
            EXPECT_THAT(error.what(), HasSubstr(named)) << text;
        }
    }
}

std::string loadProblem(const std::string& text) {
    try {
        SimDesktop::fromText(text);
    } catch (const LoadError& error) {
        return error.what();
    }
    return "loaded";
}

TEST(SimLoadErrors, NumbersBeyondTheirTypeAreRefusedNotRounded) {
    EXPECT_THAT(loadProblem(R"({"apps": [{"pid": 1, "AXValue": 1e400}]})"), HasSubstr("1e400"));
    EXPECT_THAT(loadProblem(R"({"apps": [{"pid": 1, "AXValue": 9223372036854775808}]})"),
                HasSubstr("apps[0].AXValue"));
    EXPECT_THAT(loadProblem(R"({"apps": [{"pid": 4294967297}]})"), HasSubstr("apps[0].pid"));
    EXPECT_EQ(loadProblem(R"({"apps": [{"pid": 1, "AXValue": -9223372036854775808}]})"), "loaded");
}

// `levels` arrays and objects deep, the document counting as the first.
std::string nested(std::size_t levels) {
    return R"({"apps": [{"pid": 1, "AXValue": )" + std::string(levels - 3, '[') +
           std::string(levels - 3, ']') + "}]}";
}

TEST(SimLoadErrors, NestingIsLimitedTo512LevelsAndWritesStayWithinIt) {
    EXPECT_EQ(loadProblem(nested(512)), "loaded");
    EXPECT_THAT(loadProblem(nested(513)), HasSubstr("512 levels"));

    // A write whose value would save deeper than a file may nest is refused and changes nothing.
    auto desktop = SimDesktop::fromText(nested(512));
    const platform::Element app = desktop->createApplicationElement(1);
    platform::Value deepest = platform::Array{};
    for (int level = 0; level < 509; ++level)
        deepest = platform::Array{deepest};
    EXPECT_EQ(desktop->setAttributeValue(app, "AXValue", deepest), -25201);
    EXPECT_EQ(desktop->setAttributeValue(app, "AXTitle", *deepest.get<platform::Array>()->data()),
              0);
    EXPECT_EQ(loadProblem(desktop->snapshot().dump()), "loaded");
}

TEST(SimSnapshot, KeysListedTwiceKeepTheLastValueAtTheFirstPlace) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("sim_twice_" + std::to_string(getpid()) + ".json");
    // Small objects and large ones find keys listed twice in different ways.
    for (const int members : {3, 40}) {
        nlohmann::ordered_json elements;
        for (int i = members; i > 0; --i)
            elements["e" + std::to_string(i)] = {{"pid", 1}, {"AXTitle", i}};
        std::string text = R"({"elements": )" + elements.dump();
        text.insert(text.size() - 1, R"(, "e2": {"pid": 1, "AXTitle": "again"})");
        SimDesktop::fromText(text + "}")->saveWhenDestroyed(path);
        std::ifstream file(path);
        const auto saved = nlohmann::ordered_json::parse(file)["elements"];
        ASSERT_EQ(saved.size(), static_cast<std::size_t>(members));
        std::vector<std::string> keys;
        for (const auto& entry : saved.items())
            keys.push_back(entry.key());
        EXPECT_EQ(keys[static_cast<std::size_t>(members - 2)], "e2");
        EXPECT_EQ(saved["e2"]["AXTitle"], "again");
    }
    std::filesystem::remove(path);
}

// Sets FIELDPILOT_DESKTOP for one test and puts back what was there.
class DesktopVariable {
  public:
    explicit DesktopVariable(const std::string& path) {
        if (const char* old = std::getenv("FIELDPILOT_DESKTOP")) {
            previous_ = old;
        }
        setenv("FIELDPILOT_DESKTOP", path.c_str(), 1);
    }
    ~DesktopVariable() {
        if (previous_) {
            setenv("FIELDPILOT_DESKTOP", previous_->c_str(), 1);
        } else {
            unsetenv("FIELDPILOT_DESKTOP");
        }
    }

  private:
    std::optional<std::string> previous_;
};

class SimOpenDesktop : public ::testing::Test {
  protected:
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("sim_open_" + std::to_string(getpid()) + ".json");

    void TearDown() override { std::filesystem::remove(path); }
    void write(std::string_view text) { std::ofstream(path) << text; }
    std::unique_ptr<platform::Desktop> open(std::string& standardError) {
        DesktopVariable variable(path);
        ::testing::internal::CaptureStderr();
        auto desktop = platform::openDesktop();
        standardError = ::testing::internal::GetCapturedStderr();
        return desktop;
    }
};

TEST_F(SimOpenDesktop, AMissingFileIsOneLineNamingIt) {
    std::string standardError;
    EXPECT_EQ(open(standardError), nullptr);
    EXPECT_THAT(standardError, HasSubstr(path.string()));
    EXPECT_EQ(std::count(standardError.begin(), standardError.end(), '\n'), 1);
}

TEST_F(SimOpenDesktop, MalformedJsonIsOneLineNamingTheFileAndTheProblem) {
    write("{\"apps\": [\n");
    std::string standardError;
    EXPECT_EQ(open(standardError), nullptr);
    EXPECT_THAT(standardError, StartsWith("fieldpilot: desktop file " + path.string()));
    EXPECT_THAT(standardError, HasSubstr("not valid JSON"));
    EXPECT_EQ(std::count(standardError.begin(), standardError.end(), '\n'), 1);
}

TEST_F(SimOpenDesktop, ALoadedDesktopSavesItselfWithThisRunsLog) {
    write(R"({"frontmost": 1, "apps": [{"pid": 1}], "log": [{"t": 0, "op": "start"}]})");
    std::string standardError;
    auto desktop = open(standardError);
    ASSERT_NE(desktop, nullptr);
    desktop->copyAttributeValue(desktop->createApplicationElement(1), "AXRole");
    desktop.reset();
    std::ifstream file(path);
    const nlohmann::json saved = nlohmann::json::parse(file);
    ASSERT_EQ(saved["log"].size(), 3u);
    EXPECT_EQ(saved["log"][2]["status"], -25205);
    EXPECT_EQ(standardError, "");
}

TEST_F(SimOpenDesktop, TextThatIsNotUtf8IsSavedReplaced) {
    write(R"({"apps": [{"pid": 1}], "elements": {"f": {"pid": 1, "AXValue": "ok"}}})");
    std::string standardError;
    auto desktop = open(standardError);
    auto& simulated = dynamic_cast<SimDesktop&>(*desktop);
    desktop->setAttributeValue(simulated.elementById("f"), "AXValue", "bad \xff byte");
    desktop.reset();
    std::ifstream file(path);
    const nlohmann::json saved = nlohmann::json::parse(file);
    EXPECT_EQ(saved["elements"]["f"]["AXValue"], "bad \uFFFD byte");
}

TEST(SimDemoDesktop, NotesIsInFrontWithAFocusedNote) {
    auto desktop = SimDesktop::demo();
    const auto notes = desktop->frontmostApplication();
    ASSERT_TRUE(notes);
    EXPECT_EQ(notes->pid, 4242);
    EXPECT_EQ(notes->bundleIdentifier, "com.example.notes");
    const auto note =
        desktop->copyAttributeValue(desktop->createApplicationElement(4242), "AXFocusedUIElement");
    ASSERT_EQ(note.status, 0);
    const platform::Element field = *note.value->get<platform::Element>();
    EXPECT_EQ(*desktop->copyAttributeValue(field, "AXPlaceholderValue").value->get<std::string>(),
              "Type a note");
    bool settable = false;
    EXPECT_EQ(desktop->isAttributeSettable(field, "AXValue", settable), 0);
    EXPECT_TRUE(settable);
}

}  // namespace
}  // namespace fieldpilot::sim
