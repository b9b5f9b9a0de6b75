// What every private desktop of the live tests shares: a private folder (HOME, XDG_RUNTIME_DIR and
// the logs), the environment pointed at it and restored afterwards, a D-Bus session bus, and the
// services started for it, stopped by pid in reverse order when it ends.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/child_process.h"

namespace live_desktop {

class PrivateSession {
  public:
    PrivateSession(const PrivateSession&) = delete;
    PrivateSession& operator=(const PrivateSession&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    // A file in the private folder for a child's standard error.
    std::string logFile(const std::string& name) const { return (folder_ / name).string(); }

  protected:
    PrivateSession() = default;
    ~PrivateSession();

    // Stops every service, restores the environment and removes the private folders.
    void tearDown();
    void makePrivateFolders();
    void setEnvironment(const std::string& name, const std::optional<std::string>& value);
    void startSessionBus();
    // A private bus whose address goes into the environment variable.
    void startBus(const std::string& variable, const std::string& logName);
    void addService(std::unique_ptr<ChildProcess> service) {
        services_.push_back(std::move(service));
    }

  private:
    std::filesystem::path folder_;
    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment_;
    // Stopped in reverse order of starting.
    std::vector<std::unique_ptr<ChildProcess>> services_;
};

// The last part of a log, for a failure message.
std::string lastLines(const std::string& path);

}  // namespace live_desktop
