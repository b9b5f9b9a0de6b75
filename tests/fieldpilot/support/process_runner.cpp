#include "support/process_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "shared/spawn_arguments.h"

extern char** environ;

namespace fieldpilot::test {

namespace {

constexpr std::string_view kDesktopVariable = "FIELDPILOT_DESKTOP";

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

class TemporaryDirectory {
  public:
    TemporaryDirectory() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/fieldpilot-run-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            fail("mkdtemp");
        path_ = pattern;
    }
    ~TemporaryDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    std::string file(std::string_view name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Standard input as the host gives it: a pipe holding the whole text, its writing end closed.
// The caller keeps the reading end too, so what the program leaves unread can be counted.
int pipeHolding(std::string_view text) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        fail("pipe2");
    constexpr std::size_t kDefaultPipeCapacity = 65536;
    if (text.size() > kDefaultPipeCapacity &&
        fcntl(ends[1], F_SETPIPE_SZ, static_cast<int>(text.size())) < 0) {
        fail("F_SETPIPE_SZ");
    }
    while (!text.empty()) {
        const ssize_t written = write(ends[1], text.data(), text.size());
        if (written < 0)
            fail("write to standard input");
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    close(ends[1]);
    return ends[0];
}

bool isOneOf(std::string_view entry, const std::vector<std::string>& names) {
    for (const auto& name : names) {
        if (entry.starts_with(name + "="))
            return true;
    }
    return false;
}

// This process's environment without FIELDPILOT_DESKTOP and the unset variables, plus the
// desktop's value when there is one.
std::vector<std::string> childEnvironment(const std::optional<std::string>& desktopPath,
                                          std::vector<std::string> unset) {
    std::vector<std::string> variables;
    const std::string prefix = std::string(kDesktopVariable) + "=";
    unset.emplace_back(kDesktopVariable);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!isOneOf(*entry, unset))
            variables.emplace_back(*entry);
    }
    if (desktopPath)
        variables.push_back(prefix + *desktopPath);
    return variables;
}

int runToExit(std::vector<std::string> argv, std::vector<std::string> environment, int input,
              const std::string& outputPath, const std::string& errorPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input >= 0) {
        posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    constexpr int kOutputFlags = O_WRONLY | O_CREAT | O_TRUNC;
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(), kOutputFlags,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorPath.c_str(), kOutputFlags,
                                     0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr,
                                    test_support::nullTerminatedPointers(argv).data(),
                                    test_support::nullTerminatedPointers(environment).data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        errno = spawned;
        fail("posix_spawn " + argv[0]);
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            fail("waitpid");
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ProgramResult runProgram(const std::string& executable, const ProgramRun& run) {
    TemporaryDirectory directory;
    std::optional<std::string> desktopPath = run.desktopPath;
    if (run.desktop) {
        desktopPath = directory.file("desktop.json");
        std::ofstream(*desktopPath, std::ios::binary) << *run.desktop;
    }
    const int input = run.standardInput ? pipeHolding(*run.standardInput) : -1;

    std::vector<std::string> argv{executable};
    argv.insert(argv.end(), run.args.begin(), run.args.end());
    ProgramResult result;
    result.exitStatus =
        runToExit(std::move(argv), childEnvironment(desktopPath, run.unsetVariables), input,
                  directory.file("stdout"), directory.file("stderr"));
    result.standardOutput = readWholeFile(directory.file("stdout"));
    result.standardError = readWholeFile(directory.file("stderr"));
    if (input >= 0) {
        int unread = 0;
        ioctl(input, FIONREAD, &unread);
        result.unreadInput = static_cast<std::size_t>(unread);
        close(input);
    }
    if (run.desktop) {
        result.savedDesktop =
            nlohmann::json::parse(readWholeFile(*desktopPath), nullptr, /*allow_exceptions=*/false);
        if (result.savedDesktop.is_discarded())
            result.savedDesktop = nullptr;
    }
    return result;
}

}  // namespace fieldpilot::test
