#include "reply.h"

#include <unistd.h>

#include <cerrno>

namespace fieldpilot {

namespace {

// Writes all of `bytes` to standard output. A failure leaves nothing to report it to: the
// program's only channel is the one that failed.
void writeOut(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace

void emit(const json::Object& reply) {
    writeOut(json::serialize(reply));
    writeOut("\n");
}

void writeEnding(const Ending& ending) {
    switch (ending.kind) {
        case Ending::Kind::Reply:
            emit(ending.reply);
            return;
        case Ending::Kind::Report:
            writeOut(ending.report + "\n");
            return;
        case Ending::Kind::Silent:
            return;
    }
}

}  // namespace fieldpilot
