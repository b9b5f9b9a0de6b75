// Runs the built fieldpilot as the host does: arguments, an optional text on standard input that
// is written and then closed, and a simulated desktop file named by FIELDPILOT_DESKTOP.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace fieldpilot::test {

struct ProgramRun {
    std::vector<std::string> args{};  // after the program path
    // The desktop file's text, copied to a fresh temporary file that FIELDPILOT_DESKTOP names.
    // Without it (and without desktopPath) the variable is unset: the live desktop.
    std::optional<std::string> desktop{};
    // A path that FIELDPILOT_DESKTOP names as it is, for files that do not exist or are broken.
    std::optional<std::string> desktopPath{};
    // Variables left out of the program's environment.
    std::vector<std::string> unsetVariables{};
    // Written to standard input, which is then closed. Without it standard input is /dev/null.
    std::optional<std::string> standardInput{};
};

struct ProgramResult {
    std::string standardOutput;
    std::string standardError;
    int exitStatus = -1;  // -1 when the program was ended by a signal
    // Bytes of ProgramRun::standardInput that the program had not read when it exited.
    std::size_t unreadInput = 0;
    // The temporary desktop file as the run left it, parsed; null when there was none or it
    // does not parse.
    nlohmann::json savedDesktop;
};

ProgramResult runProgram(const std::string& executable, const ProgramRun& run);

#ifdef FIELDPILOT_EXE
inline ProgramResult runFieldpilot(const ProgramRun& run) {
    return runProgram(FIELDPILOT_EXE, run);
}
#endif

}  // namespace fieldpilot::test
