// Runs the built voicepipe as the host does: arguments, a pipe on standard input, event lines
// read from standard output, signals, and the exit status. Waits are real time here, bounded by a
// generous safety limit so that a broken program fails its test instead of hanging it.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <filesystem>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace voicepipe::testing {

// A temporary folder holding a scenario for the simulated platform and its call log.
class ScenarioFolder {
  public:
    ScenarioFolder();
    ~ScenarioFolder();

    const std::filesystem::path& path() const { return path_; }
    // Writes the scenario with its log file set; returns the scenario's path.
    std::string write(nlohmann::json scenario);
    // The ops logged so far, in order.
    std::vector<std::string> loggedOps() const;
    // Waits until the op is logged: the program has got as far as that platform call.
    bool waitForOp(const std::string& op) const;

  private:
    std::filesystem::path path_;
};

struct Launch {
    std::string program{};                             // the built executable
    std::vector<std::string> arguments{};              // after argument 0
    std::optional<std::string> argument0{};            // `program` when absent
    std::map<std::string, std::string> environment{};  // added to this environment
    std::optional<std::filesystem::path> workingDirectory{};
    bool inputAtEnd = false;    // standard input is /dev/null instead of a pipe
    bool inputClosed = false;   // no standard input at all
    bool throughShell = false;  // started by a /bin/sh that stays its parent
    // Shell commands that a /bin/sh runs before it executes the program in its place.
    std::optional<std::string> shellSetup{};
    bool ignoringChildEnds = false;  // started with SIGCHLD ignored, through env
};

class VoicepipeProcess {
  public:
    explicit VoicepipeProcess(const Launch& launch);
    ~VoicepipeProcess();
    VoicepipeProcess(const VoicepipeProcess&) = delete;
    VoicepipeProcess& operator=(const VoicepipeProcess&) = delete;

    // The started process: voicepipe, or the shell when started through one.
    pid_t pid() const { return pid_; }
    // The next line without its line feed; nullopt at the end of the output.
    std::optional<std::string> nextLine();
    // Reads up to the first line that contains `text`; false when the output ended first.
    bool readUntil(const std::string& text);
    // Every line read so far and up to the end of the output.
    std::vector<std::string> allLines();
    void writeInput(const std::string& bytes);
    void closeInput();
    void signal(int number) const;
    // The exit status, or minus the number of the signal that ended it. `usage`, when given,
    // receives the resources the process used (its CPU time, its peak memory).
    int waitForEnd(rusage* usage = nullptr);

  private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
    std::vector<std::string> lines_;
    bool ended_ = false;
};

// Lines that are not "level" events: those come from the capture thread at any point.
std::vector<std::string> withoutLevels(const std::vector<std::string>& lines);

// The only child of `parent`, once it has one.
std::optional<pid_t> childOf(pid_t parent);
// Whether `parent` has any child process now.
bool hasChildren(pid_t parent);
// The exit status of a process that this test process has come to be the parent of (see
// adoptOrphans), or minus the number of the signal that ended it; kNotOurChild when it is not.
inline constexpr int kNotOurChild = std::numeric_limits<int>::min();
int waitForEndOf(pid_t pid, rusage* usage = nullptr);
// Makes orphaned descendants children of this test process, so their status can be read.
void adoptOrphans();

}  // namespace voicepipe::testing
