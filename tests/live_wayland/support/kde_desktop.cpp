#include "support/kde_desktop.h"

#include <signal.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "support/wayland_reads.h"

namespace live_wayland {
namespace {

using namespace std::chrono_literals;
using live_desktop::ChildOptions;
using live_desktop::ChildProcess;

constexpr std::chrono::milliseconds kStartLimit = 60s;
constexpr std::chrono::milliseconds kPollInterval = 50ms;
constexpr const char* kSocketName = "wayland-kde";
constexpr const char* kInstalledKWin = "/usr/bin/kwin_wayland";
constexpr const char* kExecutablePlaceholder = "@FIELDPILOT_INSTALLED_EXE@";

}  // namespace

KdeDesktop::KdeDesktop(const std::string& fieldpilotExecutable) {
    try {
        makePrivateFolders();
        startSessionBus();
        grantFakeInput(fieldpilotExecutable);
        startKWin();
    } catch (...) {
        tearDown();
        throw;
    }
}

KdeDesktop::~KdeDesktop() {
    tearDown();
}

// The project's own .desktop file, naming the built fieldpilot where an install names the
// installed one.
void KdeDesktop::grantFakeInput(const std::string& fieldpilotExecutable) {
    const auto data = folder() / "data";
    std::filesystem::create_directories(data / "applications");
    std::ifstream in(FIELDPILOT_DESKTOP_TEMPLATE);
    std::ostringstream text;
    text << in.rdbuf();
    std::string entry = text.str();
    const auto at = entry.find(kExecutablePlaceholder);
    if (at == std::string::npos)
        throw std::runtime_error("no Exec placeholder in " FIELDPILOT_DESKTOP_TEMPLATE);
    entry.replace(at, std::string(kExecutablePlaceholder).size(), fieldpilotExecutable);
    std::ofstream(data / "applications" / "fieldpilot.desktop") << entry;
    setEnvironment("XDG_DATA_HOME", data.string());
    setEnvironment("XDG_DATA_DIRS", data.string() + ":/usr/local/share:/usr/share");
    const auto built =
        runCommand({"kbuildsycoca5", "--noincremental"}, logFile("kbuildsycoca.log"));
    if (built.status != 0)
        throw std::runtime_error("kbuildsycoca5 failed: " +
                                 live_desktop::lastLines(logFile("kbuildsycoca.log")));
}

// A French layout first: Control+A typed on the key that types "a" in the US layout would be
// Control+Q there.
void KdeDesktop::startKWin() {
    const auto config = folder() / "home" / ".config";
    std::filesystem::create_directories(config);
    std::ofstream(config / "kxkbrc") << "[Layout]\nLayoutList=fr,us\nUse=true\n";

    // Copying drops the file capability.
    const auto kwin = folder() / "kwin_wayland";
    std::filesystem::copy_file(kInstalledKWin, kwin);
    const std::string log = logFile("kwin.log");
    // KWin starts helpers of its own: SIGTERM lets it end them.
    auto compositor = std::make_unique<ChildProcess>(
        ChildOptions{.argv = {kwin.string(), "--virtual", "--width", "1280", "--height", "800",
                              "--no-lockscreen", "--socket", kSocketName},
                     .logPath = log,
                     .parentDeathSignal = SIGTERM});
    const auto socket = folder() / "runtime" / kSocketName;
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (!std::filesystem::exists(socket) || !windows().is_array()) {
        if (compositor->waitFor(0ms) || std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("KWin did not start: " + live_desktop::lastLines(log));
        std::this_thread::sleep_for(kPollInterval);
    }
    kwin_ = compositor->pid();
    addService(std::move(compositor));
    setEnvironment("WAYLAND_DISPLAY", std::string(kSocketName));
    setEnvironment("GDK_BACKEND", std::string("wayland"));
    setEnvironment("QT_QPA_PLATFORM", std::string("wayland"));
}

nlohmann::json KdeDesktop::windows() const {
    const auto output = runCommand({"/usr/bin/python3", KWIN_WINDOWS_SCRIPT, "windows"},
                                   logFile("kwin_windows.log"));
    if (output.status != 0)
        return nullptr;
    return nlohmann::json::parse(output.text, nullptr, false);
}

int KdeDesktop::activePid() const {
    for (const auto& window : windows()) {
        if (window.value("active", false))
            return window["pid"].get<int>();
    }
    return 0;
}

nlohmann::json KdeDesktop::windowOf(int pid) const {
    for (const auto& window : windows()) {
        if (window["pid"] == pid)
            return window;
    }
    return nullptr;
}

void KdeDesktop::activate(int pid) const {
    runCommand({"/usr/bin/python3", KWIN_WINDOWS_SCRIPT, "activate", std::to_string(pid)},
               logFile("kwin_windows.log"));
}

void KdeDesktop::suspendKWin(bool suspended) const {
    kill(kwin_, suspended ? SIGSTOP : SIGCONT);
}

}  // namespace live_wayland
