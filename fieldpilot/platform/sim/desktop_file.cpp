// Opening a desktop file: the simulated desktop it holds, saved back to it when destroyed.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/sim/sim_desktop.h"

namespace fieldpilot::sim {
namespace {

// The one line on standard error for a desktop file that cannot be used.
void reportUnusable(const std::string& path, std::string problem) {
    std::replace(problem.begin(), problem.end(), '\n', ' ');
    std::fprintf(stderr, "fieldpilot: desktop file %s: %s\n", path.c_str(), problem.c_str());
}

// The whole file, or the reason it cannot be read.
bool readFile(const std::string& path, std::string& text, std::string& problem) {
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"),
                                                            &std::fclose);
    if (!file) {
        problem = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    char buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        text.append(buffer, count);
    }
    if (std::ferror(file.get())) {
        problem = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

std::unique_ptr<platform::Desktop> openDesktopFile(const std::string& path) {
    std::string text;
    std::string problem;
    if (!readFile(path, text, problem)) {
        reportUnusable(path, problem);
        return nullptr;
    }
    try {
        auto desktop = SimDesktop::fromText(text);
        desktop->saveWhenDestroyed(path);
        return desktop;
    } catch (const LoadError& error) {
        reportUnusable(path, error.what());
        return nullptr;
    }
}

}  // namespace fieldpilot::sim
