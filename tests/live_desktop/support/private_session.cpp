#include "support/private_session.h"

#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/announce_pipe.h"
#include "support/line_reader.h"

namespace live_desktop {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kStartLimit = 15s;

}  // namespace

std::string lastLines(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    constexpr std::size_t kShown = 600;
    return all.size() > kShown ? all.substr(all.size() - kShown) : all;
}

PrivateSession::~PrivateSession() {
    tearDown();
}

void PrivateSession::tearDown() {
    while (!services_.empty())
        services_.pop_back();
    killRemainingChildren();
    for (auto it = savedEnvironment_.rbegin(); it != savedEnvironment_.rend(); ++it) {
        if (it->second)
            setenv(it->first.c_str(), it->second->c_str(), 1);
        else
            unsetenv(it->first.c_str());
    }
    savedEnvironment_.clear();
    std::error_code ignored;
    if (!folder_.empty())
        std::filesystem::remove_all(folder_, ignored);
    folder_.clear();
}

void PrivateSession::setEnvironment(const std::string& name,
                                    const std::optional<std::string>& value) {
    const char* old = getenv(name.c_str());
    savedEnvironment_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    if (value)
        setenv(name.c_str(), value->c_str(), 1);
    else
        unsetenv(name.c_str());
}

void PrivateSession::makePrivateFolders() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/live-desktop-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed for " + pattern);
    folder_ = pattern;
    std::filesystem::create_directories(folder_ / "home");
    std::filesystem::create_directories(folder_ / "runtime");
    std::filesystem::permissions(folder_ / "runtime", std::filesystem::perms::owner_all);

    setEnvironment("HOME", (folder_ / "home").string());
    setEnvironment("XDG_RUNTIME_DIR", (folder_ / "runtime").string());
    setEnvironment("XDG_CONFIG_HOME", (folder_ / "home/.config").string());
    setEnvironment("XDG_CACHE_HOME", (folder_ / "home/.cache").string());
    // Programs under test pick the live desktop and find it through these alone.
    for (const char* name : {"FIELDPILOT_DESKTOP", "NO_AT_BRIDGE", "AT_SPI_BUS_ADDRESS",
                             "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "DISPLAY"})
        setEnvironment(name, std::nullopt);
    setEnvironment("GDK_BACKEND", "x11");
    // No dconf or gvfs daemons get activated on the private bus.
    setEnvironment("GSETTINGS_BACKEND", "memory");
    setEnvironment("GIO_USE_VFS", "local");
}

void PrivateSession::startSessionBus() {
    startBus("DBUS_SESSION_BUS_ADDRESS", "session-bus.log");
}

// A bus daemon of the session kind serves as any bus: the variable says which one it stands for.
void PrivateSession::startBus(const std::string& variable, const std::string& logName) {
    AnnouncePipe announce;
    const std::string log = logFile(logName);
    auto bus = std::make_unique<ChildProcess>(
        ChildOptions{.argv = {"dbus-daemon", "--session", "--nofork", "--print-address=3"},
                     .logPath = log,
                     .passedDescriptor = announce.ends[1]});
    announce.closeWritingEnd();
    const auto address = LineReader(announce.ends[0]).next(kStartLimit);
    if (!address || address->empty())
        throw std::runtime_error("dbus-daemon did not start: " + lastLines(log));
    addService(std::move(bus));
    setEnvironment(variable, *address);
}

}  // namespace live_desktop
