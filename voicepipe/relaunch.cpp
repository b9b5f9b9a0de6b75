#include "relaunch.h"

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <optional>
#include <system_error>

#include "platform/platform.h"
#include "process_exit.h"

extern char** environ;

namespace voicepipe {

namespace {

constexpr const char* kDisclaimedEnv = "QL_DICTATE_DISCLAIMED";
constexpr const char* kDisclaimFunctionName = "responsibility_spawnattrs_setdisclaim";
constexpr int kRelayedSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kChildSignalledStatus = 1;

using SetDisclaim = int (*)(posix_spawnattr_t* attributes, bool disclaim);

// A spawn attribute object that is destroyed with its owner.
class SpawnAttributes {
  public:
    SpawnAttributes() : initialized_(posix_spawnattr_init(&attributes_) == 0) {}
    ~SpawnAttributes() {
        if (initialized_)
            posix_spawnattr_destroy(&attributes_);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;

    bool initialized() const { return initialized_; }
    posix_spawnattr_t* get() { return &attributes_; }

  private:
    posix_spawnattr_t attributes_{};
    bool initialized_;
};

// The platform's disclaim function, looked up by name because it is no public interface.
SetDisclaim findDisclaimFunction() {
    return reinterpret_cast<SetDisclaim>(dlsym(RTLD_DEFAULT, kDisclaimFunctionName));
}

std::optional<std::string> childPath(const char* argument0) {
    const std::filesystem::path file(argument0);
    if (file.is_absolute())
        return absoluteStandardizedPath(argument0, "/");
    std::error_code error;
    const std::filesystem::path currentDirectory = std::filesystem::current_path(error);
    if (error)
        return std::nullopt;
    return absoluteStandardizedPath(argument0, currentDirectory);
}

// Spawns the marked copy; on failure leaves the environment as it was.
std::optional<pid_t> spawnMarkedCopy(SpawnAttributes& attributes, char** argv) {
    const std::optional<std::string> path = childPath(argv[0]);
    if (!path)
        return std::nullopt;
    if (setenv(kDisclaimedEnv, "1", 1) != 0)
        return std::nullopt;
    pid_t child = 0;
    if (posix_spawn(&child, path->c_str(), nullptr, attributes.get(), argv, environ) != 0) {
        unsetenv(kDisclaimedEnv);
        return std::nullopt;
    }
    return child;
}

// The relaunching parent's exit status: the child's own exit status, 1 when a signal ended it.
// A failed wait leaves the status word at 0, hence 0.
int relayedExitStatus(int waitStatus) {
    if (!WIFEXITED(waitStatus))
        return kChildSignalledStatus;
    return WEXITSTATUS(waitStatus);
}

// Waits for the child; the status word stays 0 when the wait fails for a reason other than an
// interruption.
int waitForChild(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) == -1) {
        if (errno != EINTR)
            return 0;
    }
    return status;
}

[[noreturn]] void relayUntilChildEnds(pid_t child) {
    for (const int signal : kRelayedSignals) {
        std::signal(signal, SIG_IGN);
        // A kill that fails finds the child already gone, which the wait below reports.
        platform::onSignalConcurrently(signal, [child] { kill(child, SIGTERM); });
    }
    exitProcess(relayedExitStatus(waitForChild(child)));
}

}  // namespace

void relaunchDisclaimedIfNeeded(int argc, char** argv) {
    if (std::getenv(kDisclaimedEnv) != nullptr)
        return;
    if (argc < 1 || argv[0] == nullptr)
        return;
    const SetDisclaim setDisclaim = findDisclaimFunction();
    if (setDisclaim == nullptr)
        return;
    SpawnAttributes attributes;
    if (!attributes.initialized())
        return;
    if (setDisclaim(attributes.get(), true) != 0)
        return;
    const std::optional<pid_t> child = spawnMarkedCopy(attributes, argv);
    if (!child)
        return;
    relayUntilChildEnds(*child);
}

std::string absoluteStandardizedPath(const std::string& file,
                                     const std::filesystem::path& currentDirectory) {
    return (currentDirectory / file).lexically_normal().string();
}

}  // namespace voicepipe
