#include "platform/sim/sim_desktop.h"

#include <cstdio>
#include <fstream>

#include "platform/sim/sim_element.h"
#include "platform/sim/sim_loader.h"
#include "platform/sim/sim_snapshot.h"
#include "platform/sim/sim_state.h"

namespace fieldpilot::sim {
namespace {

void writeDesktopFile(const std::filesystem::path& path, const DesktopState& state) {
    const std::string text = savedDesktopText(state);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::fprintf(stderr, "fieldpilot: cannot write the desktop file %s\n", path.c_str());
    }
}

}  // namespace

SimDesktop::SimDesktop(std::unique_ptr<DesktopState> state) : state_(std::move(state)) {}

SimDesktop::~SimDesktop() {
    if (!savePath_) {
        return;
    }
    try {
        writeDesktopFile(*savePath_, *state_);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fieldpilot: cannot write the desktop file %s: %s\n",
                     savePath_->c_str(), error.what());
    }
}

std::unique_ptr<SimDesktop> SimDesktop::fromText(std::string_view jsonText) {
    try {
        return std::make_unique<SimDesktop>(loadDesktopState(jsonText));
    } catch (const nlohmann::json::exception& error) {
        // A check the loader missed still ends as a problem with the file, never an abort.
        throw LoadError(error.what());
    }
}

nlohmann::json SimDesktop::snapshot() const {
    return nlohmann::json(savedDocument(*state_));
}

platform::Element SimDesktop::elementById(std::string_view id) const {
    return makeElementReference(*state_, id);
}

void SimDesktop::saveWhenDestroyed(std::filesystem::path path) {
    savePath_ = std::move(path);
}

}  // namespace fieldpilot::sim
