// The simulated recogniser, its buffer recognition request and its task. A task delivers the
// scenario's results timed from its opening, and its afterEnd deliveries timed from the end of
// the request's audio, each as one call of the result handler on the main queue.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_context.h"

namespace voicepipe::platform::sim {

// When the request's audio ended, for the tasks that time deliveries from it.
class AudioEnd {
  public:
    using Listener = std::function<void(Micros endedAt)>;

    // The first call counts; later ones change nothing.
    void markEnded(Micros at);
    // Calls `listener` once the audio has ended: at once when it already has.
    void whenEnded(Listener listener);

  private:
    std::mutex mutex_;
    std::optional<Micros> endedAt_;
    std::vector<Listener> listeners_;
};

class SimRecognitionRequest final : public RecognitionRequest {
  public:
    explicit SimRecognitionRequest(std::shared_ptr<SimContext> context)
        : context_(std::move(context)) {}

    // The platform's defaults: partial results on, punctuation and on-device recognition off.
    void setShouldReportPartialResults(bool on) override { partialResults_ = on; }
    void setAddsPunctuation(bool on) override { punctuation_ = on; }
    void setRequiresOnDeviceRecognition(bool on) override { onDevice_ = on; }
    void append(const AudioBuffer& buffer) override;
    void endAudio() override;

    json::Object settings() const;
    AudioEnd& audioEnd() { return *audioEnd_; }

  private:
    std::shared_ptr<SimContext> context_;
    bool partialResults_ = true;
    bool punctuation_ = false;
    bool onDevice_ = false;
    std::shared_ptr<AudioEnd> audioEnd_ = std::make_shared<AudioEnd>();
};

class SimRecognizer final : public Recognizer {
  public:
    SimRecognizer(RecognizerTraits traits, std::shared_ptr<SimContext> context)
        : traits_(traits), context_(std::move(context)) {}

    bool isAvailable() override { return traits_.available; }
    bool supportsOnDeviceRecognition() override { return traits_.onDevice; }
    // `request` must come from the same simulated platform.
    std::unique_ptr<RecognitionTask> recognitionTask(RecognitionRequest& request,
                                                     ResultHandler handler) override;

  private:
    RecognizerTraits traits_;
    std::shared_ptr<SimContext> context_;
};

}  // namespace voicepipe::platform::sim
