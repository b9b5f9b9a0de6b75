// fieldpilot: one command against another application's user interface per run.
#include <unistd.h>

#include <cerrno>
#include <string>

#include "dispatch.h"
#include "reply.h"

namespace {

// Standard input as raw bytes up to its end; only "set" asks for it.
std::string readStandardInput() {
    std::string bytes;
    char buffer[65536];
    while (true) {
        const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (count > 0) {
            bytes.append(buffer, static_cast<std::size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            return bytes;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const fieldpilot::Args args(argv, argv + argc);
    auto desktop = fieldpilot::platform::openDesktop();
    if (!desktop)
        return 1;

    fieldpilot::Context context{*desktop, args, readStandardInput};
    const fieldpilot::Ending ending = fieldpilot::dispatch(context);
    fieldpilot::writeEnding(ending);
    // A simulated desktop saves its state, with this run's log, when it is destroyed.
    desktop.reset();
    return ending.status;
}
