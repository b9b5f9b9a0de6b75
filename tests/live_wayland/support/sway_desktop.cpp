#include "support/sway_desktop.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "support/line_reader.h"
#include "support/wayland_reads.h"

namespace live_wayland {
namespace {

using namespace std::chrono_literals;
using live_desktop::ChildOptions;
using live_desktop::ChildProcess;
using live_desktop::LineReader;

constexpr std::chrono::milliseconds kStartLimit = 30s;
constexpr std::chrono::milliseconds kPollInterval = 20ms;
// sway refuses root; nobody owns nothing that the session could harm.
constexpr uid_t kSessionUser = 65534;
constexpr gid_t kSessionGroup = 65534;
constexpr const char* kSocketName = "wayland-1";

// The first window node of the tree that the test accepts.
template <typename Test>
nlohmann::json findWindow(const nlohmann::json& node, const Test& accepts) {
    if (!node.is_object())
        return nullptr;
    if (node.contains("pid") && accepts(node))
        return node;
    for (const char* key : {"nodes", "floating_nodes"}) {
        if (!node.contains(key))
            continue;
        for (const auto& child : node[key]) {
            if (auto found = findWindow(child, accepts); !found.is_null())
                return found;
        }
    }
    return nullptr;
}

std::string run(const std::vector<std::string>& argv, const std::string& log) {
    return runCommand(argv, log).text;
}

}  // namespace

SwayDesktop::SwayDesktop() {
    try {
        makePrivateFolders();
        startSessionBus();
        handFolderToUser();
        startSway();
        startKeyboard();
    } catch (...) {
        keyboard_.reset();
        tearDown();
        throw;
    }
}

SwayDesktop::~SwayDesktop() {
    keyboard_.reset();
    tearDown();
}

// The session user must reach its runtime folder (and only that) inside the private folder.
void SwayDesktop::handFolderToUser() {
    const auto runtime = folder() / "runtime";
    if (chmod(folder().c_str(), 0711) != 0 ||
        chown(runtime.c_str(), kSessionUser, kSessionGroup) != 0)
        throw std::runtime_error("cannot hand " + runtime.string() + " to the session user");
    // XWayland from the start, as a desktop has it when an X application comes up.
    std::ofstream(folder() / "sway.conf") << "output HEADLESS-1 resolution 1280x800\n"
                                             "xwayland force\n";
    chmod((folder() / "sway.conf").c_str(), 0644);
}

void SwayDesktop::startSway() {
    const std::string log = logFile("sway.log");
    const std::string user = std::to_string(kSessionUser);
    const std::string group = std::to_string(kSessionGroup);
    // Changing the user clears the parent-death signal: setpriv sets it again after.
    auto sway = std::make_unique<ChildProcess>(ChildOptions{
        .argv = {"setpriv", "--reuid=" + user, "--regid=" + group, "--clear-groups",
                 "--pdeathsig=SIGKILL", "--", "sway", "-c", (folder() / "sway.conf").string()},
        .extraEnvironment = {"WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1",
                             "WLR_RENDERER=pixman"},
        .logPath = log});
    const auto runtime = folder() / "runtime";
    const auto ipc = runtime / ("sway-ipc." + user + "." + std::to_string(sway->pid()) + ".sock");
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (!std::filesystem::exists(ipc) || !std::filesystem::exists(runtime / kSocketName)) {
        if (sway->waitFor(0ms) || std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("sway did not start: " + live_desktop::lastLines(log));
        std::this_thread::sleep_for(kPollInterval);
    }
    addService(std::move(sway));
    setEnvironment("WAYLAND_DISPLAY", std::string(kSocketName));
    setEnvironment("SWAYSOCK", ipc.string());
    setEnvironment("GDK_BACKEND", std::string("wayland"));
    setEnvironment("QT_QPA_PLATFORM", std::string("wayland"));
}

void SwayDesktop::startKeyboard() {
    keyboard_ = std::make_unique<ChildProcess>(ChildOptions{.argv = {KEYBOARD_HOLDER_EXE},
                                                            .pipeInput = true,
                                                            .pipeOutput = true,
                                                            .logPath = logFile("keyboard.log")});
    if (LineReader(keyboard_->output()).next(kStartLimit) != "ready")
        throw std::runtime_error("no keyboard on sway's seat: " +
                                 live_desktop::lastLines(logFile("keyboard.log")));
}

nlohmann::json SwayDesktop::tree() const {
    return nlohmann::json::parse(run({"swaymsg", "-r", "-t", "get_tree"}, logFile("swaymsg.log")),
                                 nullptr, false);
}

int SwayDesktop::focusedPid() const {
    const auto window =
        findWindow(tree(), [](const nlohmann::json& node) { return node.value("focused", false); });
    return window.is_null() ? 0 : window["pid"].get<int>();
}

nlohmann::json SwayDesktop::windowOf(int pid) const {
    return findWindow(tree(), [pid](const nlohmann::json& node) { return node["pid"] == pid; });
}

// sway gives its XWayland's display to the programs it starts, and XWayland admits only the
// session user: a script sway starts lets this process's user in too, then names the display.
std::string SwayDesktop::xwaylandDisplay() const {
    const auto file = folder() / "runtime" / "display";
    const auto script = folder() / "admit-root.sh";
    std::ofstream(script) << "for try in $(seq 100); do\n"
                             "  xhost +si:localuser:root >/dev/null 2>&1 && break\n"
                             "  sleep 0.1\n"
                             "done\n"
                             "printenv DISPLAY > "
                          << file.string() << "\n";
    chmod(script.c_str(), 0644);
    run({"swaymsg", "exec", "sh " + script.string()}, logFile("swaymsg.log"));
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    std::string display;
    while (std::chrono::steady_clock::now() < deadline) {
        if (std::getline(std::ifstream(file), display) && !display.empty())
            return display;
        std::this_thread::sleep_for(kPollInterval);
    }
    throw std::runtime_error("sway named no XWayland display");
}

std::optional<std::string> SwayDesktop::accessibleText(int pid) const {
    return accessibleTextOf(*this, pid);
}

std::string SwayDesktop::clipboard() const {
    return waylandClipboard(*this);
}

void SwayDesktop::focus(int pid) const {
    run({"swaymsg", "[pid=" + std::to_string(pid) + "] focus"}, logFile("swaymsg.log"));
}

}  // namespace live_wayland
