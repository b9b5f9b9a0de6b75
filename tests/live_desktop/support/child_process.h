// Child processes of the live-desktop tests that never outlive them: each runs in a process
// group of its own, which stop() and the destructor end by pid (SIGTERM, then SIGKILL); the
// kernel signals each one when the test process dies in any way (PR_SET_PDEATHSIG); and SIGINT,
// SIGTERM, SIGHUP or SIGQUIT sent to the test process kill every live group before the
// process ends.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace live_desktop {

struct ChildOptions {
    std::vector<std::string> argv;
    std::vector<std::string> extraEnvironment{};  // NAME=value, added to this process's
    bool pipeInput = false;                       // else standard input is /dev/null
    bool pipeOutput = false;                      // else standard output goes to logPath
    std::string logPath = "/dev/null";            // standard error (and output unless piped)
    int passedDescriptor = -1;                    // given to the child as descriptor 3
    // Sent when the test process dies. A service that starts children of its own gets SIGTERM,
    // so that it can end them before it exits.
    int parentDeathSignal = SIGKILL;
};

class ChildProcess {
  public:
    // Throws std::runtime_error when the process cannot be created. A program that cannot be
    // executed shows up as an exit with status 127.
    explicit ChildProcess(const ChildOptions& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    int input() const { return input_; }
    int output() const { return output_; }
    void closeInput();

    // The exit status (-1 when a signal ended it), once the process has ended within the time.
    std::optional<int> waitFor(std::chrono::milliseconds limit);
    // Ends the process group: SIGTERM (and SIGCONT, for a stopped process), SIGKILL after the
    // grace time. Returns the exit status as waitFor does.
    int stop(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));

  private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::optional<int> status_;
    bool stopped_ = false;
};

// Kills (SIGKILL) and reaps every remaining child of this process, including descendants of the
// services that were orphaned and handed to it as their subreaper. Returns how many it found.
int killRemainingChildren();

}  // namespace live_desktop
