// The built program with the standard streams a careless or hostile host may give it: closed,
// a directory, non-blocking pipes, a reader that has gone.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

extern char** environ;

namespace fieldpilot {
namespace {

using nlohmann::json;

constexpr std::string_view kEditor = R"({"frontmost": 501,
    "apps": [{"pid": 501, "AXFocusedUIElement": {"element": "field"}}],
    "elements": {"field": {"pid": 501, "AXRole": "AXTextArea", "AXValue": "hello"}}})";

// fieldpilot with FIELDPILOT_DESKTOP naming a copy of kEditor; `arrange` sets up its standard
// descriptors (standard error goes to /dev/null unless arranged otherwise).
class StandardStreams : public testing::Test {
  protected:
    std::filesystem::path desktopPath =
        std::filesystem::temp_directory_path() /
        ("fieldpilot_streams_" + std::to_string(getpid()) + ".json");

    void SetUp() override { std::ofstream(desktopPath) << kEditor; }
    void TearDown() override { std::filesystem::remove(desktopPath); }

    pid_t start(std::vector<std::string> args,
                const std::function<void(posix_spawn_file_actions_t&)>& arrange) {
        args.insert(args.begin(), FIELDPILOT_EXE);
        std::vector<char*> argv;
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        setenv("FIELDPILOT_DESKTOP", desktopPath.c_str(), 1);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        arrange(actions);
        // The program must stand a reader that has gone without inheriting an ignored SIGPIPE.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        pid_t pid = 0;
        const int spawned =
            posix_spawn(&pid, FIELDPILOT_EXE, &actions, &attributes, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        unsetenv("FIELDPILOT_DESKTOP");
        EXPECT_EQ(spawned, 0);
        return pid;
    }

    // The exit status, or -1 when a signal ended the program.
    static int exitStatus(pid_t pid) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static bool running(pid_t pid) {
        siginfo_t info{};
        return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == 0;
    }

    json savedDesktop() const {
        std::ifstream file(desktopPath);
        return json::parse(file);
    }
    std::string fieldValue() const { return savedDesktop()["elements"]["field"]["AXValue"]; }
};

std::string readAll(int descriptor) {
    std::string bytes;
    char buffer[65536];
    ssize_t count = 0;
    while ((count = read(descriptor, buffer, sizeof buffer)) > 0)
        bytes.append(buffer, static_cast<std::size_t>(count));
    return bytes;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST_F(StandardStreams, SetRefusesAStandardInputItCannotReadAndLeavesTheField) {
    const std::string output = desktopPath.string() + ".out";
    const std::vector<std::function<void(posix_spawn_file_actions_t&)>> inputs = {
        [](auto& actions) { posix_spawn_file_actions_addclose(&actions, STDIN_FILENO); },
        [](auto& actions) {
            posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/", O_RDONLY, 0);
        },
    };
    for (const auto& input : inputs) {
        const pid_t pid = start({"set", "501"}, [&](auto& actions) {
            input(actions);
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
        });
        EXPECT_EQ(exitStatus(pid), 1);
        EXPECT_EQ(readFile(output), "{\"error\":\"stdin_unreadable\"}\n");
        EXPECT_EQ(fieldValue(), "hello");
    }
    std::filesystem::remove(output);
}

TEST_F(StandardStreams, SetWaitsForTheRealEndOfANonBlockingPipe) {
    int input[2];
    ASSERT_EQ(pipe2(input, O_CLOEXEC), 0);
    fcntl(input[0], F_SETFL, O_NONBLOCK);
    ASSERT_EQ(write(input[1], "first ", 6), 6);
    const pid_t pid = start({"set", "501"}, [&](auto& actions) {
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    });
    // The rest comes once the program has taken the first part and found the pipe empty.
    int unread = 6;
    while (unread > 0 && ioctl(input[0], FIONREAD, &unread) == 0)
        std::this_thread::yield();
    ASSERT_EQ(write(input[1], "second", 6), 6);
    close(input[1]);
    EXPECT_EQ(exitStatus(pid), 0);
    close(input[0]);
    EXPECT_EQ(fieldValue(), "first second");
}

TEST_F(StandardStreams, ALongReplyArrivesWholeThroughANonBlockingPipeToASlowReader) {
    const std::string text(200000, 'x');
    const std::string inputPath = desktopPath.string() + ".in";
    std::ofstream(inputPath) << text;
    int output[2];
    ASSERT_EQ(pipe2(output, O_CLOEXEC), 0);
    fcntl(output[1], F_SETFL, O_NONBLOCK);
    const pid_t pid = start({"set", "501"}, [&](auto& actions) {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inputPath.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    });
    close(output[1]);
    // Reads only once the pipe is full, so that the program meets a descriptor that would block.
    int buffered = 0;
    while (buffered < 65536 && running(pid) && ioctl(output[0], FIONREAD, &buffered) == 0)
        std::this_thread::yield();
    const std::string reply = readAll(output[0]);
    close(output[0]);
    EXPECT_EQ(exitStatus(pid), 0);
    std::filesystem::remove(inputPath);
    ASSERT_TRUE(reply.ends_with("}\n"));
    EXPECT_EQ(json::parse(reply)["value"], text);
}

TEST_F(StandardStreams, AReplyWithNoReaderEndsWithStatusOneAndTheDesktopSaved) {
    int output[2];
    ASSERT_EQ(pipe2(output, O_CLOEXEC), 0);
    close(output[0]);
    const pid_t pid = start({"set", "501"}, [&](auto& actions) {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    });
    close(output[1]);
    EXPECT_EQ(exitStatus(pid), 1);
    EXPECT_EQ(fieldValue(), "");
    EXPECT_FALSE(savedDesktop()["log"].empty());
}

}  // namespace
}  // namespace fieldpilot
