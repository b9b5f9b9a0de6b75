// fieldpilot: one command against another application's user interface per run.
#include <unistd.h>

#include <csignal>
#include <optional>
#include <string>

#include "dispatch.h"
#include "reply.h"
#include "standard_descriptors.h"

namespace {

// A reply that could not be written whole: the host got no answer it can use.
constexpr int kReplyLostStatus = 1;

}  // namespace

int main(int argc, char** argv) {
    const bool inputWasOpen = descriptors::openMissingStandardDescriptors();
    // A reader that has gone must not end the run before the simulated desktop is saved; the
    // failed write says so instead.
    std::signal(SIGPIPE, SIG_IGN);

    const fieldpilot::Args args(argv, argv + argc);
    auto desktop = fieldpilot::platform::openDesktop();
    if (!desktop)
        return 1;

    // A standard input that was not open holds no text from the host, not an empty one.
    auto readStandardInput = [inputWasOpen]() -> std::optional<std::string> {
        if (!inputWasOpen)
            return std::nullopt;
        return descriptors::readToEnd(STDIN_FILENO);
    };
    fieldpilot::Context context{*desktop, args, readStandardInput};
    const fieldpilot::Ending ending = fieldpilot::dispatch(context);
    const bool written = fieldpilot::writeEnding(ending);
    // A simulated desktop saves its state, with this run's log, when it is destroyed.
    desktop.reset();
    return written ? ending.status : kReplyLostStatus;
}
