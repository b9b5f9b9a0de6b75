#include "support/pulse_server.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "support/speech_clip.h"

extern char** environ;

namespace voicepipe::testing {

namespace {

using namespace std::chrono_literals;
constexpr auto kStartLimit = 30s;  // a loaded machine starts the daemon slowly; a hang still ends
constexpr auto kStopLimit = 5s;
constexpr auto kPollPause = 20ms;
constexpr double kNoiseFloorSeconds = 10;
// A fresh daemon stalls its sink for about 1.8 s on the first playback; a short playback and
// capture take that stall before any measured dictation.
constexpr double kWarmUpSeconds = 0.3;

const char* const kSinkName = "dictation";

std::string serverScript(const std::filesystem::path& socket) {
    return std::string("load-module module-null-sink sink_name=") + kSinkName +
           " rate=" + std::to_string(kSampleRate) + " channels=1 format=float32le\n" +
           "set-default-sink " + kSinkName + "\nset-default-source " + kSinkName + ".monitor\n" +
           "load-module module-native-protocol-unix auth-anonymous=1 socket=" + socket.string() +
           "\n";
}

// This environment with `settings` (every place where a PulseAudio program looks for a server, its
// configuration or its state, pointed into the private folder) and without a display, through
// which a client could find the user's own daemon.
std::vector<std::string> privateEnvironment(const std::map<std::string, std::string>& settings) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable(*entry);
        const std::string name = variable.substr(0, variable.find('='));
        if (settings.count(name) == 0 && name != "DISPLAY" && name != "WAYLAND_DISPLAY")
            result.push_back(variable);
    }
    for (const auto& [name, value] : settings)
        result.push_back(name + "=" + value);
    return result;
}

bool accepts(const std::filesystem::path& socketPath) {
    const int socketFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    const bool connected =
        connect(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(socketFd);
    return connected;
}

}  // namespace

PulseServer::PulseServer() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "voicepipe-pulse-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return;
    folder_ = pattern;
    for (const char* sub : {"runtime", "home", "state", "scratch"})
        std::filesystem::create_directory(folder_ / sub);
    std::filesystem::permissions(folder_ / "runtime", std::filesystem::perms::owner_all);
    address_ = "unix:" + (folder_ / "native").string();
    std::ofstream(folder_ / "server.pa") << serverScript(folder_ / "native");
    std::ofstream(folder_ / "client.conf") << "autospawn = no\n";

    if (!startDaemon() || !waitUntilServing())
        return;
    const auto noise = synthesizeNoiseFloor(kNoiseFloorSeconds, scratchFolder());
    if (!noise)
        return;
    noiseFloor_ = std::make_unique<LoopedPlayback>(address_, *noise);
    const std::vector<float> warmUp(
        noise->begin(), noise->begin() + static_cast<long>(kWarmUpSeconds * kSampleRate));
    if (!playToEnd(address_, warmUp) || !captureFor(address_, kWarmUpSeconds))
        noiseFloor_.reset();
}

PulseServer::~PulseServer() {
    noiseFloor_.reset();
    stopDaemon();
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

std::map<std::string, std::string> PulseServer::clientEnvironment() const {
    // A session bus address that leads nowhere: without one, the daemon could launch a bus of
    // its own, which could outlive the test.
    return {{"PULSE_SERVER", address_},
            {"PULSE_CLIENTCONFIG", (folder_ / "client.conf").string()},
            {"PULSE_RUNTIME_PATH", (folder_ / "runtime").string()},
            {"PULSE_STATE_PATH", (folder_ / "state").string()},
            {"XDG_RUNTIME_DIR", (folder_ / "runtime").string()},
            {"XDG_CONFIG_HOME", (folder_ / "home" / ".config").string()},
            {"HOME", (folder_ / "home").string()},
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (folder_ / "no-bus").string()}};
}

std::string PulseServer::log() const {
    std::ifstream file(folder_ / "daemon.log");
    return {std::istreambuf_iterator<char>(file), {}};
}

bool PulseServer::startDaemon() {
    std::vector<std::string> command = {"pulseaudio",
                                        "--daemonize=no",
                                        "--use-pid-file=no",
                                        "--exit-idle-time=-1",
                                        "--realtime=no",
                                        "--high-priority=no",
                                        "--disable-shm=yes",
                                        "--log-target=stderr",
                                        "-n",
                                        "-F",
                                        (folder_ / "server.pa").string()};
    std::vector<std::string> environment = privateEnvironment(clientEnvironment());
    std::vector<char*> arguments, variables;
    for (std::string& argument : command)
        arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    for (std::string& variable : environment)
        variables.push_back(variable.data());
    variables.push_back(nullptr);
    const std::string log = (folder_ / "daemon.log").string();
    const pid_t parent = getpid();

    // fork rather than posix_spawn: the child asks to be killed when this process dies, so that
    // even a crashed test leaves no daemon behind.
    pid_ = fork();
    if (pid_ == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(127);
        const int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(logFd, STDOUT_FILENO);
        dup2(logFd, STDERR_FILENO);
        execvpe(arguments[0], arguments.data(), variables.data());
        _exit(127);
    }
    return pid_ > 0;
}

bool PulseServer::waitUntilServing() {
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (!accepts(folder_ / "native")) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(kPollPause);
    }
    return true;
}

void PulseServer::stopDaemon() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopLimit;
    while (waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(kPollPause);
    }
    pid_ = -1;
}

}  // namespace voicepipe::testing
