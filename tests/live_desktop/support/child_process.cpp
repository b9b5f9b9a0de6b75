#include "support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "shared/spawn_arguments.h"

extern char** environ;

namespace live_desktop {

namespace {

constexpr std::size_t kMaxLiveGroups = 64;
// Process groups still running, for the signal handler; 0 marks a free slot.
std::array<std::atomic<pid_t>, kMaxLiveGroups> liveGroups{};

void killLiveGroupsAndDie(int signalNumber) {
    for (auto& group : liveGroups) {
        const pid_t id = group.load();
        if (id > 0)
            kill(-id, SIGKILL);
    }
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

// Orphaned descendants (the accessibility bus and its registry daemon) become children of this
// process, so that killRemainingChildren can find them. A child that exits before reading what
// is written to it makes the write fail (EPIPE) instead of ending the tests.
void installOnce() {
    static const bool installed = [] {
        prctl(PR_SET_CHILD_SUBREAPER, 1);
        for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            signal(signalNumber, killLiveGroupsAndDie);
        signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)installed;
}

void remember(pid_t group) {
    for (auto& slot : liveGroups) {
        pid_t expected = 0;
        if (slot.compare_exchange_strong(expected, group))
            return;
    }
}

void forget(pid_t group) {
    for (auto& slot : liveGroups) {
        pid_t expected = group;
        if (slot.compare_exchange_strong(expected, 0))
            return;
    }
}

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::vector<std::string> environmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        const std::string name = variable.substr(0, variable.find('=') + 1);
        bool replaced = false;
        for (const auto& added : extra)
            replaced = replaced || added.starts_with(name);
        if (!replaced)
            variables.push_back(variable);
    }
    variables.insert(variables.end(), extra.begin(), extra.end());
    return variables;
}

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void becomeProgram(pid_t parent, char** argv, char** envp, int input, int output,
                                int log, int passed, int deathSignal) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, deathSignal);
    if (getppid() != parent)
        _exit(126);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE})
        signal(signalNumber, SIG_DFL);
    if (passed >= 0)
        dup2(passed, 3);
    dup2(input, STDIN_FILENO);
    dup2(output, STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    execvpe(argv[0], argv, envp);
    _exit(127);
}

int waitStatus(int raw) {
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace

ChildProcess::ChildProcess(const ChildOptions& options) {
    installOnce();
    std::vector<std::string> argv = options.argv;
    std::vector<std::string> environment = environmentWith(options.extraEnvironment);
    std::vector<char*> argvPointers = test_support::nullTerminatedPointers(argv);
    std::vector<char*> environmentPointers = test_support::nullTerminatedPointers(environment);

    int inputEnds[2] = {-1, -1};
    int outputEnds[2] = {-1, -1};
    if (options.pipeInput && pipe2(inputEnds, O_CLOEXEC) != 0)
        fail("pipe2");
    if (options.pipeOutput && pipe2(outputEnds, O_CLOEXEC) != 0)
        fail("pipe2");
    const int log = open(options.logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    const int devNull = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (log < 0 || devNull < 0)
        fail("open " + options.logPath);
    const int childInput = options.pipeInput ? inputEnds[0] : devNull;
    const int childOutput = options.pipeOutput ? outputEnds[1] : log;

    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ < 0)
        fail("fork");
    if (pid_ == 0) {
        becomeProgram(parent, argvPointers.data(), environmentPointers.data(), childInput,
                      childOutput, log, options.passedDescriptor, options.parentDeathSignal);
    }
    // Also here, so that the group exists before anyone signals it.
    setpgid(pid_, pid_);
    remember(pid_);
    close(log);
    close(devNull);
    if (options.pipeInput) {
        close(inputEnds[0]);
        input_ = inputEnds[1];
    }
    if (options.pipeOutput) {
        close(outputEnds[1]);
        output_ = outputEnds[0];
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !stopped_)
        stop();
    closeInput();
    if (output_ >= 0)
        close(output_);
}

void ChildProcess::closeInput() {
    if (input_ >= 0)
        close(input_);
    input_ = -1;
}

std::optional<int> ChildProcess::waitFor(std::chrono::milliseconds limit) {
    if (status_)
        return status_;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int raw = 0;
        const pid_t ended = waitpid(pid_, &raw, WNOHANG);
        if (ended == pid_ || (ended < 0 && errno == ECHILD)) {
            status_ = ended == pid_ ? waitStatus(raw) : -1;
            return status_;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int ChildProcess::stop(std::chrono::milliseconds grace) {
    if (stopped_)
        return *status_;
    if (!status_) {
        kill(-pid_, SIGTERM);
        kill(-pid_, SIGCONT);
        if (!waitFor(grace)) {
            kill(-pid_, SIGKILL);
            waitFor(std::chrono::hours(1));
        }
    }
    // Whatever else is left in the group (children of the process that ignored SIGTERM).
    kill(-pid_, SIGKILL);
    forget(pid_);
    stopped_ = true;
    return *status_;
}

int killRemainingChildren() {
    int found = 0;
    const std::string tasks = "/proc/" + std::to_string(getpid()) + "/task";
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream children(task.path() / "children");
        pid_t child = 0;
        while (children >> child) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            ++found;
        }
    }
    return found;
}

}  // namespace live_desktop
