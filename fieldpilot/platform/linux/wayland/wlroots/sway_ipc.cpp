#include "wayland/wlroots/sway_ipc.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace fieldpilot::platform::live {
namespace {

constexpr std::array<char, 6> kMagic = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::size_t kHeaderSize = kMagic.size() + 2 * sizeof(std::uint32_t);
constexpr std::uint32_t kRunCommand = 0;
constexpr std::uint32_t kGetTree = 4;
// A compositor that hangs must not hang the run: each read or write gives up after this.
constexpr timeval kSocketTimeout{1, 500000};
// Trees of thousands of windows stay far below this; anything larger is not a reply.
constexpr std::uint32_t kLongestReply = 64u << 20;

bool writeAll(int socket, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = send(socket, data, size, MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool readAll(int socket, char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t got = recv(socket, data, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

SwayIpc::SwayIpc(const std::string& socketPath) {
    sockaddr_un address{};
    if (socketPath.empty() || socketPath.size() >= sizeof(address.sun_path))
        return;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &kSocketTimeout, sizeof(kSocketTimeout));
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &kSocketTimeout, sizeof(kSocketTimeout));
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        close(fd);
        return;
    }
    socket_ = fd;
}

SwayIpc::~SwayIpc() {
    if (socket_ >= 0)
        close(socket_);
}

// The header is the magic string, then the payload's length and the message type in the host's
// byte order.
std::optional<std::string> SwayIpc::exchange(std::uint32_t type, const std::string& payload) {
    if (socket_ < 0)
        return std::nullopt;
    std::array<char, kHeaderSize> header{};
    const auto length = static_cast<std::uint32_t>(payload.size());
    std::memcpy(header.data(), kMagic.data(), kMagic.size());
    std::memcpy(header.data() + kMagic.size(), &length, sizeof(length));
    std::memcpy(header.data() + kMagic.size() + sizeof(length), &type, sizeof(type));
    if (!writeAll(socket_, header.data(), header.size()) ||
        !writeAll(socket_, payload.data(), payload.size()))
        return std::nullopt;
    std::uint32_t replyLength = 0;
    std::uint32_t replyType = 0;
    if (!readAll(socket_, header.data(), header.size()) ||
        std::memcmp(header.data(), kMagic.data(), kMagic.size()) != 0)
        return std::nullopt;
    std::memcpy(&replyLength, header.data() + kMagic.size(), sizeof(replyLength));
    std::memcpy(&replyType, header.data() + kMagic.size() + sizeof(replyLength), sizeof(replyType));
    if (replyType != type || replyLength > kLongestReply)
        return std::nullopt;
    std::string reply(replyLength, '\0');
    if (!readAll(socket_, reply.data(), reply.size()))
        return std::nullopt;
    return reply;
}

std::optional<nlohmann::json> SwayIpc::tree() {
    const auto reply = exchange(kGetTree, "");
    if (!reply)
        return std::nullopt;
    auto parsed = nlohmann::json::parse(*reply, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object())
        return std::nullopt;
    return parsed;
}

bool SwayIpc::run(const std::string& command) {
    const auto reply = exchange(kRunCommand, command);
    if (!reply)
        return false;
    const auto results = nlohmann::json::parse(*reply, nullptr, false);
    if (!results.is_array() || results.empty())
        return false;
    for (const auto& result : results) {
        if (!result.is_object() || result.value("success", false) != true)
            return false;
    }
    return true;
}

}  // namespace fieldpilot::platform::live
