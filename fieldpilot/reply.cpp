#include "reply.h"

#include <unistd.h>

#include "standard_descriptors.h"

namespace fieldpilot {

namespace {

bool writeOut(std::string_view bytes) {
    return descriptors::writeAll(STDOUT_FILENO, bytes);
}

}  // namespace

bool emit(const json::Object& reply) {
    const bool written = writeOut(json::serialize(reply));
    return writeOut("\n") && written;
}

bool writeEnding(const Ending& ending) {
    switch (ending.kind) {
        case Ending::Kind::Reply:
            return emit(ending.reply);
        case Ending::Kind::Report:
            return writeOut(ending.report + "\n");
        case Ending::Kind::Silent:
            return true;
    }
    return true;
}

}  // namespace fieldpilot
