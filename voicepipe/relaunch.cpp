#include "relaunch.h"

#include <dlfcn.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <system_error>

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

// The child that the relay handler passes signals on to; 0 until the spawn has filled it in.
std::atomic<pid_t> relayTarget{0};
static_assert(std::atomic<pid_t>::is_always_lock_free, "read in a signal handler");
// A relayed signal that arrived before the child existed; 0 when none did.
volatile std::sig_atomic_t earlySignal = 0;

extern "C" void relayToChild(int signal) {
    const int savedErrno = errno;
    const pid_t child = relayTarget.load();
    // A kill that fails finds the child already gone, which the wait reports.
    if (child > 0)
        kill(child, SIGTERM);
    else
        earlySignal = signal;
    errno = savedErrno;
}

// The dispositions that the relay replaces, so that a failed spawn can put them back.
struct SavedDispositions {
    struct sigaction relayed[std::size(kRelayedSignals)];
    struct sigaction childEnded;
};

void installRelay(int signal, struct sigaction* previous) {
    struct sigaction relay {};
    relay.sa_handler = relayToChild;
    // No SA_RESTART: the wait for the child returns with EINTR and is called again, which gives
    // runtimes that run handlers late (ThreadSanitizer's) the moment to run this one.
    sigfillset(&relay.sa_mask);
    sigaction(signal, &relay, previous);
}

// The relay is caught, not ignored, from before the spawn on: a stop signal that arrives while
// the child starts is neither lost nor the end of this process, and the child, whose exec resets
// caught signals to their defaults, starts with the dispositions this process had. Signals that
// the host ignores stay ignored until the child exists, for the child inherits those.
// A host that ignores SIGCHLD would make the wait for the child fail, so that goes back to its
// default (which the child then inherits, as it starts no processes of its own).
SavedDispositions prepareRelay() {
    SavedDispositions saved{};
    for (std::size_t i = 0; i < std::size(kRelayedSignals); ++i) {
        sigaction(kRelayedSignals[i], nullptr, &saved.relayed[i]);
        if (saved.relayed[i].sa_handler != SIG_IGN)
            installRelay(kRelayedSignals[i], nullptr);
    }
    struct sigaction childEnded {};
    childEnded.sa_handler = SIG_DFL;
    sigaction(SIGCHLD, &childEnded, &saved.childEnded);
    return saved;
}

// After a failed spawn: this process runs the dictation itself, as if the relay had never been
// prepared, and a stop signal caught meanwhile has the effect that it would have had.
void abandonRelay(const SavedDispositions& saved) {
    for (std::size_t i = 0; i < std::size(kRelayedSignals); ++i)
        sigaction(kRelayedSignals[i], &saved.relayed[i], nullptr);
    sigaction(SIGCHLD, &saved.childEnded, nullptr);
    if (earlySignal != 0)
        raise(earlySignal);
}

// From here on every relayed signal reaches the child as SIGTERM, one caught before the spawn
// included.
void startRelayingTo(pid_t child) {
    sigset_t relayed;
    sigemptyset(&relayed);
    for (const int signal : kRelayedSignals)
        sigaddset(&relayed, signal);
    sigset_t previous;
    // Blocked while the target is published, so that no signal falls between the two steps.
    sigprocmask(SIG_BLOCK, &relayed, &previous);
    relayTarget.store(child);
    const bool caughtEarly = earlySignal != 0;
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    for (const int signal : kRelayedSignals)
        installRelay(signal, nullptr);
    if (caughtEarly)
        kill(child, SIGTERM);
}

// Spawns the marked copy; on failure leaves the environment as it was.
std::optional<pid_t> spawnMarkedCopy(SpawnAttributes& attributes, char** argv) {
    const std::optional<std::string> path = childPath(argv[0]);
    if (!path)
        return std::nullopt;
    if (setenv(kDisclaimedEnv, "1", 1) != 0)
        return std::nullopt;
    const SavedDispositions saved = prepareRelay();
    pid_t child = 0;
    if (posix_spawn(&child, path->c_str(), nullptr, attributes.get(), argv, environ) != 0) {
        abandonRelay(saved);
        unsetenv(kDisclaimedEnv);
        return std::nullopt;
    }
    startRelayingTo(child);
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
    exitProcess(relayedExitStatus(waitForChild(*child)));
}

std::string absoluteStandardizedPath(const std::string& file,
                                     const std::filesystem::path& currentDirectory) {
    return (currentDirectory / file).lexically_normal().string();
}

}  // namespace voicepipe
