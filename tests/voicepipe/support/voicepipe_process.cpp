#include "support/voicepipe_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "shared/spawn_arguments.h"

extern char** environ;

namespace voicepipe::testing {

namespace {

using namespace std::chrono_literals;
constexpr auto kSafetyLimit = 60s;  // sanitizer builds are slow; a hang still ends
constexpr auto kPollPause = 10ms;

// Polls `ready` until it holds or the safety limit has passed.
template <typename Ready>
bool eventually(Ready ready) {
    const auto deadline = std::chrono::steady_clock::now() + kSafetyLimit;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(kPollPause);
    }
    return true;
}

std::vector<std::string> environmentFor(const Launch& launch) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable(*entry);
        const std::string name = variable.substr(0, variable.find('='));
        if (name == "VOICEPIPE_SCENARIO" || name == "QL_DICTATE_DISCLAIMED" ||
            name == "LD_PRELOAD" || launch.environment.count(name) != 0) {
            continue;
        }
        result.push_back(variable);
    }
    for (const auto& [name, value] : launch.environment)
        result.push_back(name + "=" + value);
    return result;
}

std::vector<std::string> commandFor(const Launch& launch) {
    std::vector<std::string> command;
    if (launch.throughShell) {
        // An explicit redirection keeps the background job's standard input on our pipe.
        command = {"/bin/sh", "-c", R"("$0" "$@" <&0 & wait)"};
    } else if (launch.shellSetup) {
        command = {"/bin/sh", "-c", *launch.shellSetup + R"( && exec "$0" "$@")"};
    } else if (launch.ignoringChildEnds) {
        // An ignored disposition survives the exec.
        command = {"/usr/bin/env", "--ignore-signal=CHLD"};
    }
    command.push_back(launch.argument0.value_or(launch.program));
    command.insert(command.end(), launch.arguments.begin(), launch.arguments.end());
    return command;
}

int endOf(int waitStatus) {
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -WTERMSIG(waitStatus);
}

std::vector<pid_t> childrenOf(pid_t parent) {
    const std::string id = std::to_string(parent);
    std::ifstream file("/proc/" + id + "/task/" + id + "/children");
    std::vector<pid_t> children;
    for (pid_t child; file >> child;)
        children.push_back(child);
    return children;
}

}  // namespace

ScenarioFolder::ScenarioFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "voicepipe-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
}

ScenarioFolder::~ScenarioFolder() {
    std::filesystem::remove_all(path_);
}

std::string ScenarioFolder::write(nlohmann::json scenario) {
    scenario["logFile"] = (path_ / "calls.log").string();
    const std::filesystem::path file = path_ / "scenario.json";
    std::ofstream(file) << scenario.dump();
    return file.string();
}

std::vector<std::string> ScenarioFolder::loggedOps() const {
    std::ifstream log(path_ / "calls.log");
    std::vector<std::string> ops;
    for (std::string line; std::getline(log, line);) {
        const auto call = nlohmann::json::parse(line, nullptr, false);
        if (call.is_object() && call.contains("op"))
            ops.push_back(call["op"]);
    }
    return ops;
}

bool ScenarioFolder::waitForOp(const std::string& op) const {
    return eventually([&] {
        const auto ops = loggedOps();
        return std::find(ops.begin(), ops.end(), op) != ops.end();
    });
}

VoicepipeProcess::VoicepipeProcess(const Launch& launch) {
    ::signal(SIGPIPE, SIG_IGN);  // a write to a program that has ended must not end the test
    int inputPipe[2] = {-1, -1};
    int outputPipe[2];
    const bool inputPiped = !launch.inputAtEnd && !launch.inputClosed;
    if (inputPiped && pipe2(inputPipe, O_CLOEXEC) != 0)
        return;
    if (pipe2(outputPipe, O_CLOEXEC) != 0)
        return;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (launch.inputAtEnd) {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    } else if (launch.inputClosed) {
        posix_spawn_file_actions_addclose(&actions, STDIN_FILENO);
    } else {
        posix_spawn_file_actions_adddup2(&actions, inputPipe[0], STDIN_FILENO);
    }
    posix_spawn_file_actions_adddup2(&actions, outputPipe[1], STDOUT_FILENO);
    // Like a careful host, hand over the standard descriptors only (the test runner's own stay
    // behind, so that a descriptor limit means the same under every runner).
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    if (launch.workingDirectory) {
        posix_spawn_file_actions_addchdir_np(&actions, launch.workingDirectory->c_str());
    }
    // The host's child starts with default dispositions and nothing blocked.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<std::string> command = commandFor(launch);
    std::vector<std::string> environment = environmentFor(launch);
    // A wrapper program, when there is one, runs first; argument 0 names voicepipe either way.
    const bool wrapped = launch.throughShell || launch.shellSetup || launch.ignoringChildEnds;
    const std::string path = wrapped ? command.front() : launch.program;
    if (posix_spawn(&pid_, path.c_str(), &actions, &attributes,
                    test_support::nullTerminatedPointers(command).data(),
                    test_support::nullTerminatedPointers(environment).data()) != 0) {
        pid_ = -1;
    }
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (inputPiped)
        close(inputPipe[0]);
    close(outputPipe[1]);
    input_ = inputPipe[1];
    output_ = outputPipe[0];
}

VoicepipeProcess::~VoicepipeProcess() {
    if (pid_ > 0 && !ended_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (input_ >= 0)
        close(input_);
    if (output_ >= 0)
        close(output_);
}

std::optional<std::string> VoicepipeProcess::nextLine() {
    for (;;) {
        const std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            lines_.push_back(line);
            return line;
        }
        pollfd readable{output_, POLLIN, 0};
        const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(kSafetyLimit);
        if (poll(&readable, 1, static_cast<int>(limit.count())) <= 0)
            return std::nullopt;
        char chunk[4096];
        const ssize_t count = read(output_, chunk, sizeof chunk);
        if (count <= 0)
            return std::nullopt;
        pending_.append(chunk, static_cast<std::size_t>(count));
    }
}

bool VoicepipeProcess::readUntil(const std::string& text) {
    while (const auto line = nextLine()) {
        if (line->find(text) != std::string::npos)
            return true;
    }
    return false;
}

std::vector<std::string> VoicepipeProcess::allLines() {
    while (nextLine()) {
    }
    return lines_;
}

void VoicepipeProcess::writeInput(const std::string& bytes) {
    [[maybe_unused]] const ssize_t written = write(input_, bytes.data(), bytes.size());
}

void VoicepipeProcess::closeInput() {
    close(input_);
    input_ = -1;
}

void VoicepipeProcess::signal(int number) const {
    kill(pid_, number);
}

int VoicepipeProcess::waitForEnd(rusage* usage) {
    const int end = waitForEndOf(pid_, usage);
    ended_ = true;
    return end;
}

std::vector<std::string> withoutLevels(const std::vector<std::string>& lines) {
    std::vector<std::string> result;
    for (const std::string& line : lines) {
        if (line.rfind("{\"level\":", 0) != 0)
            result.push_back(line);
    }
    return result;
}

std::optional<pid_t> childOf(pid_t parent) {
    std::vector<pid_t> children;
    if (!eventually([&] { return !(children = childrenOf(parent)).empty(); }))
        return std::nullopt;
    return children.front();
}

bool hasChildren(pid_t parent) {
    return !childrenOf(parent).empty();
}

int waitForEndOf(pid_t pid, rusage* usage) {
    int status = 0;
    pid_t reaped = 0;
    const bool ended =
        eventually([&] { return (reaped = wait4(pid, &status, WNOHANG, usage)) != 0; });
    if (!ended) {
        kill(pid, SIGKILL);
        reaped = wait4(pid, &status, 0, usage);
    }
    return reaped == pid ? endOf(status) : kNotOurChild;
}

void adoptOrphans() {
    prctl(PR_SET_CHILD_SUBREAPER, 1);
}

}  // namespace voicepipe::testing
