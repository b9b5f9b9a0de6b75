// sway's IPC socket (SWAYSOCK): the window tree and commands. Other wlroots compositors that speak
// the same protocol answer too.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace fieldpilot::platform::live {

class SwayIpc {
  public:
    // Connects to the socket; not open when it cannot be reached.
    explicit SwayIpc(const std::string& socketPath);
    ~SwayIpc();
    SwayIpc(const SwayIpc&) = delete;
    SwayIpc& operator=(const SwayIpc&) = delete;

    bool isOpen() const { return socket_ >= 0; }
    // The whole tree of outputs, workspaces and windows; none when the compositor did not answer.
    std::optional<nlohmann::json> tree();
    // Runs the command; true when the compositor reports every part of it done.
    bool run(const std::string& command);

  private:
    std::optional<std::string> exchange(std::uint32_t type, const std::string& payload);

    int socket_ = -1;
};

}  // namespace fieldpilot::platform::live
