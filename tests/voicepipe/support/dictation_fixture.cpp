#include "support/dictation_fixture.h"

#include <cstdlib>
#include <sstream>

namespace voicepipe::testing {

DictationFixture::DictationFixture()
    : process{queue, open_memstream(&eventBuffer, &eventBufferSize), [this](int status) {
                  exitStatus = status;
                  queue.halt();
              }} {
    auto ownedEngine = std::make_unique<FakeEngine>();
    engine = ownedEngine.get();
    process.engine = std::move(ownedEngine);
    auto ownedRequest = std::make_unique<FakeRequest>();
    request = ownedRequest.get();
    process.request = std::move(ownedRequest);
}

DictationFixture::~DictationFixture() {
    std::fclose(process.events);
    std::free(eventBuffer);
}

std::vector<std::string> DictationFixture::lines() {
    std::fflush(process.events);
    std::istringstream text(std::string(eventBuffer, eventBufferSize));
    std::vector<std::string> result;
    for (std::string line; std::getline(text, line);)
        result.push_back(line);
    return result;
}

}  // namespace voicepipe::testing
