// The disclaimed relaunch: voicepipe runs its dictation in a copy of itself that answers for
// itself to the platform's privacy controls, so that the microphone and speech-recognition
// permissions are asked for in its own name rather than the host's.
#pragma once

#include <filesystem>
#include <string>

namespace voicepipe {

// Unless the marker QL_DICTATE_DISCLAIMED is set, spawns a disclaimed copy of this program with
// the same arguments and the environment plus the marker, relays SIGTERM, SIGINT and SIGHUP to
// it as SIGTERM and ends with its exit status: in that case it never returns. It returns in the
// process that is to run the dictation: the marked copy, or this process when the platform
// offers no disclaiming, refuses it, or the spawn fails.
void relaunchDisclaimedIfNeeded(int argc, char** argv);

// The absolute path, without "." or ".." components, of `file` taken relative to
// `currentDirectory`. No PATH search: a bare name names a file in the current directory.
std::string absoluteStandardizedPath(const std::string& file,
                                     const std::filesystem::path& currentDirectory);

}  // namespace voicepipe
