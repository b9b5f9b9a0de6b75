// The simulated audio engine: from start to stop a capture thread of its own hands the installed
// tap one buffer every 64 ms, in real time, as a microphone would.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/platform.h"
#include "platform/sim/sim_context.h"

namespace voicepipe::platform::sim {

class SimAudioEngine final : public AudioEngine {
  public:
    explicit SimAudioEngine(std::shared_ptr<SimContext> context);
    // Ends the capture without a log line: destruction is not a call of the program's.
    ~SimAudioEngine() override;

    AudioFormat inputFormat(int bus) override;
    void installTap(int bus, std::uint32_t bufferSize, AudioFormat format, TapBlock tap) override;
    void removeTap(int bus) override;
    void prepare() override {}
    std::optional<std::string> start() override;
    bool isRunning() override;
    // Returns once the capture thread has ended: the tap is not called again afterwards.
    void stop() override;

  private:
    void capture();
    void endCapture();

    std::shared_ptr<SimContext> context_;

    // Held while the tap runs, so that removeTap() never returns during a call of the tap.
    std::mutex tapMutex_;
    TapBlock tap_;

    std::mutex captureMutex_;
    std::condition_variable stopRequested_;
    bool stopping_ = false;
    std::thread captureThread_;
};

}  // namespace voicepipe::platform::sim
