#include "support/wayland_reads.h"

#include <chrono>

#include "support/line_reader.h"

namespace live_wayland {
namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds kCommandLimit = 30s;

}  // namespace

CommandOutput runCommand(const std::vector<std::string>& argv, const std::string& log) {
    live_desktop::ChildProcess process(
        live_desktop::ChildOptions{.argv = argv, .pipeOutput = true, .logPath = log});
    CommandOutput output;
    live_desktop::LineReader(process.output())
        .readToEnd(output.text, std::chrono::steady_clock::now() + kCommandLimit);
    output.status = process.waitFor(kCommandLimit);
    return output;
}

std::optional<std::string> accessibleTextOf(const live_desktop::PrivateSession& desktop, int pid) {
    auto output = runCommand({"/usr/bin/python3", ACCESSIBLE_TEXT_SCRIPT, std::to_string(pid)},
                             desktop.logFile("accessible_text.log"));
    if (output.status != 0)
        return std::nullopt;
    return std::move(output.text);
}

std::string waylandClipboard(const live_desktop::PrivateSession& desktop) {
    return runCommand({"wl-paste", "--no-newline"}, desktop.logFile("wl-paste.log")).text;
}

}  // namespace live_wayland
