#include "platform/pulse_sphinx/pulse_audio_engine.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <future>
#include <memory>
#include <utility>
#include <vector>

#include "platform/linux/blocked_thread.h"

namespace voicepipe::platform::pulse_sphinx {

namespace {

constexpr const char* kApplicationName = "voicepipe";
constexpr const char* kStreamName = "Dictation";
constexpr std::uint32_t kChannelCount = 1;

class CaptureBuffer final : public AudioBuffer {
  public:
    explicit CaptureBuffer(std::uint32_t frames) : samples_(frames) {}
    std::uint32_t frameLength() const override {
        return static_cast<std::uint32_t>(samples_.size());
    }
    const float* floatChannel0() const override { return samples_.data(); }
    void* data() { return samples_.data(); }
    std::size_t byteSize() const { return samples_.size() * sizeof(float); }

  private:
    std::vector<float> samples_;
};

struct Connection {
    pa_simple* stream = nullptr;
    int error = 0;
};

// The server hands the stream a fragment as soon as one buffer's worth is captured, instead of
// batching several into one late delivery.
Connection connect(double rate, std::uint32_t frames) {
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, static_cast<std::uint32_t>(rate),
                              static_cast<std::uint8_t>(kChannelCount)};
    pa_buffer_attr attributes;
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = static_cast<std::uint32_t>(-1);
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = frames * kChannelCount * static_cast<std::uint32_t>(sizeof(float));
    Connection connection;
    connection.stream = pa_simple_new(nullptr, kApplicationName, PA_STREAM_RECORD, nullptr,
                                      kStreamName, &spec, nullptr, &attributes, &connection.error);
    return connection;
}

}  // namespace

AudioFormat PulseAudioEngine::inputFormat(int) {
    return {kCaptureRate, kChannelCount};
}

std::optional<std::string> PulseAudioEngine::installTap(int, std::uint32_t bufferSize,
                                                        AudioFormat format, TapBlock tap) {
    std::lock_guard lock(tapMutex_);
    if (bufferSize > 0) {
        framesPerBuffer_ = bufferSize;
    }
    if (format.sampleRate > 0) {
        rate_ = format.sampleRate;
    }
    tap_ = std::move(tap);
    return std::nullopt;
}

void PulseAudioEngine::removeTap(int) {
    std::lock_guard lock(tapMutex_);
    tap_ = nullptr;
}

std::optional<std::string> PulseAudioEngine::start() {
    if (captureThread_.joinable()) {
        return std::nullopt;
    }
    std::uint32_t frames;
    double rate;
    {
        std::lock_guard lock(tapMutex_);
        frames = framesPerBuffer_;
        rate = rate_;
    }
    // The connection is made on the capture thread, so that the client library's own thread
    // inherits that thread's blocked signals, which the main queue's signal sources rely on.
    // The thread shares the promise, so that it may still be inside set_value() when start()
    // has already returned.
    auto connected = std::make_shared<std::promise<int>>();
    std::future<int> outcome = connected->get_future();
    stopping_ = false;
    captureThread_ = linux_backend::startThreadBlocking(
        linux_backend::backgroundThreadSignals(), [this, frames, rate, connected] {
            const Connection connection = connect(rate, frames);
            connected->set_value(connection.stream != nullptr ? 0 : connection.error);
            if (connection.stream != nullptr) {
                capture(connection.stream, frames);
            }
        });
    if (const int error = outcome.get(); error != 0) {
        captureThread_.join();
        return std::string(pa_strerror(error));
    }
    return std::nullopt;
}

void PulseAudioEngine::stop() {
    if (!captureThread_.joinable()) {
        return;
    }
    stopping_ = true;
    captureThread_.join();
}

void PulseAudioEngine::capture(pa_simple* stream, std::uint32_t frames) {
    CaptureBuffer buffer(frames);
    int error = 0;
    // A read returns within one buffer's time, so a stop is noticed that soon. A lost server ends
    // the capture: no more buffers come, as when a microphone is unplugged.
    while (!stopping_ && pa_simple_read(stream, buffer.data(), buffer.byteSize(), &error) == 0) {
        std::lock_guard lock(tapMutex_);
        if (tap_) {
            tap_(buffer);
        }
    }
    pa_simple_free(stream);
}

}  // namespace voicepipe::platform::pulse_sphinx
