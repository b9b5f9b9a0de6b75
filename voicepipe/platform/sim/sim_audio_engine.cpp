#include "platform/sim/sim_audio_engine.h"

#include <chrono>
#include <utility>

#include "platform/linux/blocked_thread.h"
#include "platform/sim/captured_audio.h"

namespace voicepipe::platform::sim {

namespace {

// What AVFAudio's exception says about a tap in a format without samples.
constexpr auto kInvalidTapFormat =
    "required condition is false: IsFormatSampleRateAndChannelCountValid(format)";

}  // namespace

SimAudioEngine::SimAudioEngine(std::shared_ptr<SimContext> context)
    : context_(std::move(context)) {}

SimAudioEngine::~SimAudioEngine() {
    endCapture();
}

AudioFormat SimAudioEngine::inputFormat(int) {
    return context_->scenario.inputFormat;
}

std::optional<std::string> SimAudioEngine::installTap(int bus, std::uint32_t bufferSize,
                                                      AudioFormat format, TapBlock tap) {
    context_->log->record({{"op", "tap"}, {"bus", bus}, {"frames", std::int64_t{bufferSize}}});
    if (format.sampleRate == 0 || format.channelCount == 0) {
        return kInvalidTapFormat;
    }
    std::lock_guard lock(tapMutex_);
    tap_ = std::move(tap);
    return std::nullopt;
}

void SimAudioEngine::removeTap(int bus) {
    context_->log->record({{"op", "removeTap"}, {"bus", bus}});
    std::lock_guard lock(tapMutex_);
    tap_ = nullptr;
}

std::optional<std::string> SimAudioEngine::start() {
    context_->log->record({{"op", "engineStart"}});
    if (context_->scenario.engineException) {
        return context_->scenario.engineException;
    }
    if (context_->scenario.engineError) {
        return context_->scenario.engineError;
    }
    if (captureThread_.joinable()) {
        return std::nullopt;
    }
    stopping_ = false;
    captureThread_ = linux_backend::startThreadBlocking(linux_backend::backgroundThreadSignals(),
                                                        [this] { capture(); });
    if (const auto changeAt = context_->scenario.configurationChangeAt) {
        context_->mainQueue.after(*changeAt, [weakSelf = std::weak_ptr(self_)] {
            if (const auto self = weakSelf.lock()) {
                (*self)->changeConfiguration();
            }
        });
    }
    return std::nullopt;
}

bool SimAudioEngine::isRunning() {
    return captureThread_.joinable();
}

void SimAudioEngine::stop() {
    context_->log->record({{"op", "engineStop"}});
    stopCapture();
}

void SimAudioEngine::onConfigurationChange(Work handler) {
    configurationChanged_ = std::move(handler);
}

// Runs on the main queue, as the program's own calls do, so it never races stop().
void SimAudioEngine::changeConfiguration() {
    if (!captureThread_.joinable()) {
        return;
    }
    context_->log->record({{"op", "configurationChange"}});
    stopCapture();
    if (configurationChanged_) {
        configurationChanged_();
    }
}

void SimAudioEngine::stopCapture() {
    if (!captureThread_.joinable()) {
        return;
    }
    endCapture();
    context_->log->record(
        {{"op", "appended"},
         {"buffers", static_cast<std::int64_t>(context_->appendedBuffers.load())}});
}

void SimAudioEngine::capture() {
    const auto startedAt = std::chrono::steady_clock::now();
    CapturedBuffer buffer;
    for (std::uint64_t index = 0;; ++index) {
        // A buffer is there once its 64 ms of sound have been captured; deadlines count from the
        // start, so the delivery keeps real time however long the tap takes.
        const auto ready = startedAt + kBufferDuration * static_cast<std::int64_t>(index + 1);
        {
            std::unique_lock lock(captureMutex_);
            if (stopRequested_.wait_until(lock, ready, [this] { return stopping_; })) {
                return;
            }
        }
        buffer.fill(soundOfBuffer(context_->scenario.audio, index));
        std::lock_guard lock(tapMutex_);
        if (tap_) {
            tap_(buffer);
        }
    }
}

void SimAudioEngine::endCapture() {
    if (!captureThread_.joinable()) {
        return;
    }
    {
        std::lock_guard lock(captureMutex_);
        stopping_ = true;
    }
    stopRequested_.notify_all();
    captureThread_.join();
}

}  // namespace voicepipe::platform::sim
