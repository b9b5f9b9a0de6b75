// The simulated audio engine: from start to stop a capture thread of its own hands the installed
// tap one buffer every 64 ms, in real time, as a microphone would. It refuses a tap in a format
// without samples (no input device), and stops itself when the scenario changes the hardware.
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
    std::optional<std::string> installTap(int bus, std::uint32_t bufferSize, AudioFormat format,
                                          TapBlock tap) override;
    void removeTap(int bus) override;
    std::optional<std::string> prepare() override { return std::nullopt; }
    std::optional<std::string> start() override;
    bool isRunning() override;
    // Returns once the capture thread has ended: the tap is not called again afterwards.
    void stop() override;
    void onConfigurationChange(Work handler) override;

  private:
    void capture();
    // Ends the capture and logs how many buffers were appended.
    void stopCapture();
    void endCapture();
    void changeConfiguration();

    std::shared_ptr<SimContext> context_;
    Work configurationChanged_;
    // Scheduled work holds it weakly, so that nothing runs on an engine that is gone.
    std::shared_ptr<SimAudioEngine*> self_ = std::make_shared<SimAudioEngine*>(this);

    // Held while the tap runs, so that removeTap() never returns during a call of the tap.
    std::mutex tapMutex_;
    TapBlock tap_;

    std::mutex captureMutex_;
    std::condition_variable stopRequested_;
    bool stopping_ = false;
    std::thread captureThread_;
};

}  // namespace voicepipe::platform::sim
