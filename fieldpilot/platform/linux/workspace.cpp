// Running applications: the frontmost one, their names, identifiers and folders, activation, and
// file existence with the Electron question translated to Linux.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>

#include "accessibility_session.h"
#include "accessible_reads.h"
#include "live_desktop.h"

namespace fieldpilot::platform::live {
namespace {

// The question the logic asks of a macOS bundle, and the Linux answers: Electron applications
// keep their code in one of these archives beside the executable.
constexpr std::string_view kMacElectronArchive = "Contents/Resources/app.asar";
constexpr std::array<std::string_view, 2> kLinuxElectronArchives = {"resources/app.asar",
                                                                    "resources/electron.asar"};

bool processExists(Pid pid) {
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

// The folder of the process's executable, which stands for its bundle.
std::optional<std::string> executableFolder(Pid pid) {
    std::error_code error;
    const auto executable =
        std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
    if (error)
        return std::nullopt;
    return executable.parent_path().string();
}

bool pathExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0;
}

std::optional<std::string> accessibleName(AccessibilitySession& session, Pid pid) {
    const auto application = session.application(pid);
    if (!application)
        return std::nullopt;
    ApplicationCall call(session, pid);
    if (call.refused())
        return std::nullopt;
    auto name = nameOf(application.get());
    if (!name) {
        call.failed();
        return std::nullopt;
    }
    if (name->empty())
        return std::nullopt;
    return name;
}

}  // namespace

std::optional<Pid> LiveDesktop::frontmostPid() {
    return windows_->frontmostPid();
}

// What NSRunningApplication would say: the name from AT-SPI or the window class, the GTK
// application id or the window class as the bundle identifier, the executable's folder as the
// bundle. Remembered for the run, so that an application that stopped answering costs its timeout
// once.
RunningApplication LiveDesktop::describe(Pid pid) {
    if (const auto known = described_.find(pid); known != described_.end())
        return known->second;
    RunningApplication application;
    application.pid = pid;
    const WindowOwner owner = windows_->describe(pid);
    application.localizedName = accessibleName(session_, pid);
    if (!application.localizedName)
        application.localizedName = owner.windowClass;
    application.bundleIdentifier = owner.applicationId ? owner.applicationId : owner.windowClass;
    application.bundlePath = executableFolder(pid);
    described_.emplace(pid, application);
    return application;
}

std::optional<RunningApplication> LiveDesktop::frontmostApplication() {
    const auto pid = frontmostPid();
    if (!pid || !processExists(*pid))
        return std::nullopt;
    return describe(*pid);
}

std::optional<RunningApplication> LiveDesktop::runningApplication(Pid pid) {
    if (!processExists(pid))
        return std::nullopt;
    return describe(pid);
}

bool LiveDesktop::activateWindowsOf(Pid pid) {
    return windows_->activate(pid);
}

// Activation brings the process's topmost window forward; the options (all windows or not) have
// no counterpart on Linux desktops.
bool LiveDesktop::activateApplication(Pid pid, std::uint32_t) {
    return processExists(pid) && activateWindowsOf(pid);
}

bool LiveDesktop::fileExists(const std::string& path) {
    if (!path.ends_with(kMacElectronArchive))
        return pathExists(path);
    const std::string folder = path.substr(0, path.size() - kMacElectronArchive.size());
    for (const auto archive : kLinuxElectronArchives) {
        if (pathExists(folder + std::string(archive)))
            return true;
    }
    return false;
}

}  // namespace fieldpilot::platform::live
