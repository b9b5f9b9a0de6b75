// Files for tests of the simulated dictation platform: a scratch folder, scenario files written
// into it, and the call log read back as JSON lines.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace voicepipe::testing {

class SimScratchFolder {
  public:
    SimScratchFolder();
    ~SimScratchFolder();
    SimScratchFolder(const SimScratchFolder&) = delete;
    SimScratchFolder& operator=(const SimScratchFolder&) = delete;

    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    // Writes `text` to the file `name` in the folder and returns its path.
    std::string write(const std::string& name, const std::string& text) const;

  private:
    std::filesystem::path folder_;
};

// Every line of the log file as written; empty when the file does not exist.
std::vector<std::string> readLogText(const std::string& path);

// Every line of the log file, parsed; empty when the file does not exist.
std::vector<nlohmann::json> readLogLines(const std::string& path);

// The "op" member of each line.
std::vector<std::string> opsOf(const std::vector<nlohmann::json>& lines);

}  // namespace voicepipe::testing
