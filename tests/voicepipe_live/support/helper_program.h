// Runs the command-line tools that the live tests prepare with (espeak-ng, sox, localedef).
#pragma once

#include <string>
#include <vector>

namespace voicepipe::testing {

// Runs the command (found on PATH) to its end with standard output discarded; true when it
// exited with status 0. Its diagnostics stay on standard error, where a failing test shows them.
bool runHelperProgram(const std::vector<std::string>& command);

}  // namespace voicepipe::testing
