#include "support/text_editor.h"

#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/wayland_reads.h"

namespace live_wayland {
namespace {

using namespace std::chrono_literals;

constexpr auto kStartLimit = 60s;
constexpr auto kPollInterval = 100ms;

}  // namespace

std::unique_ptr<live_desktop::ChildProcess> startTextEditor(
    const live_desktop::PrivateSession& desktop) {
    auto editor = std::make_unique<live_desktop::ChildProcess>(
        live_desktop::ChildOptions{.argv = {"gnome-text-editor", "--standalone"},
                                   .logPath = desktop.logFile("gnome-text-editor.log")});
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (!accessibleTextOf(desktop, editor->pid())) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("GNOME Text Editor did not come up");
        std::this_thread::sleep_for(kPollInterval);
    }
    return editor;
}

}  // namespace live_wayland
