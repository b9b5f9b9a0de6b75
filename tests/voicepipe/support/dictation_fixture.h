// A fresh dictation process on the virtual queue, its event lines captured and its exit observed.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dictation_process.h"
#include "support/fake_dictation.h"
#include "support/virtual_queue.h"

namespace voicepipe::testing {

class DictationFixture : public ::testing::Test {
  protected:
    DictationFixture();
    ~DictationFixture() override;

    // The event lines written so far, without their line feeds.
    std::vector<std::string> lines();

    VirtualQueue queue;
    std::optional<int> exitStatus;  // set when the process ended; the queue then runs no more
    // The memory stream's buffer, declared before the process whose `events` writes into it.
    char* eventBuffer = nullptr;
    std::size_t eventBufferSize = 0;
    FakeEngine* engine;
    FakeRequest* request;
    std::shared_ptr<FakeRecognizer> recognizer = std::make_shared<FakeRecognizer>();
    DictationProcess process;
};

}  // namespace voicepipe::testing
