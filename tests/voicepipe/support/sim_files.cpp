#include "support/sim_files.h"

#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <system_error>

namespace voicepipe::testing {

SimScratchFolder::SimScratchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "voicepipe-sim-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::filesystem::filesystem_error("mkdtemp", pattern,
                                                std::error_code(errno, std::generic_category()));
    }
    folder_ = pattern;
}

SimScratchFolder::~SimScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string SimScratchFolder::write(const std::string& name, const std::string& text) const {
    const std::string file = path(name);
    std::ofstream(file, std::ios::binary) << text;
    return file;
}

std::vector<std::string> readLogText(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<nlohmann::json> readLogLines(const std::string& path) {
    std::vector<nlohmann::json> lines;
    for (const auto& line : readLogText(path)) {
        lines.push_back(nlohmann::json::parse(line));
    }
    return lines;
}

std::vector<std::string> opsOf(const std::vector<nlohmann::json>& lines) {
    std::vector<std::string> ops;
    for (const auto& line : lines) {
        ops.push_back(line.at("op").get<std::string>());
    }
    return ops;
}

}  // namespace voicepipe::testing
