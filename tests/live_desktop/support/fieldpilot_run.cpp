#include "support/fieldpilot_run.h"

#include <unistd.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>

#include "support/child_process.h"
#include "support/line_reader.h"

namespace live_desktop {

namespace {

using namespace std::chrono_literals;

constexpr auto kHangLimit = 30s;

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

FieldpilotResult runFieldpilot(const PrivateSession& desktop, const std::string& executable,
                               const std::vector<std::string>& arguments,
                               const std::string& standardInput) {
    const std::string errorLog = desktop.logFile("fieldpilot.stderr");
    std::remove(errorLog.c_str());
    std::vector<std::string> argv{executable};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildProcess process(
        ChildOptions{.argv = argv, .pipeInput = true, .pipeOutput = true, .logPath = errorLog});
    // A program that exits before reading leaves the write failing; its reply says why.
    [[maybe_unused]] const ssize_t written =
        write(process.input(), standardInput.data(), standardInput.size());
    process.closeInput();

    FieldpilotResult result;
    const auto deadline = std::chrono::steady_clock::now() + kHangLimit;
    std::optional<int> status;
    if (LineReader(process.output()).readToEnd(result.standardOutput, deadline)) {
        status = process.waitFor(std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()));
    }
    result.killedAsHung = !status;
    result.exitStatus = status ? *status : process.stop(0ms);
    result.standardError = readFile(errorLog);
    result.reply = nlohmann::json::parse(result.standardOutput, nullptr, false);
    if (result.reply.is_discarded())
        result.reply = nullptr;
    return result;
}

}  // namespace live_desktop
