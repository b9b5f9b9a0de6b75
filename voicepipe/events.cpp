#include "events.h"

#include <string>

namespace voicepipe {

void emit(std::FILE* stream, const json::Object& event) {
    std::string line = json::serialize(event);
    line += '\n';
    // One stdio call holds the stream's lock for the whole line.
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
}

}  // namespace voicepipe
