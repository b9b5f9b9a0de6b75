#include "platform/pulse_sphinx/sphinx_recognition.h"

#include <thread>
#include <utility>

#include "platform/linux/blocked_thread.h"
#include "platform/pulse_sphinx/hypothesis_changes.h"
#include "platform/pulse_sphinx/samples.h"

namespace voicepipe::platform::pulse_sphinx {

namespace {

class SphinxRecognitionTask final : public RecognitionTask {
  public:
    SphinxRecognitionTask(std::shared_ptr<LoadedDecoder> decoder, std::shared_ptr<AudioQueue> audio,
                          bool reportPartials, ResultHandler handler, MainQueue& mainQueue)
        : decoder_(std::move(decoder)),
          audio_(std::move(audio)),
          reportPartials_(reportPartials),
          handler_(std::make_shared<ResultHandler>(std::move(handler))),
          mainQueue_(mainQueue) {
        thread_ = linux_backend::startThreadBlocking(linux_backend::backgroundThreadSignals(),
                                                     [this] { decode(); });
    }

    // A task that is still decoding stops without delivering anything more.
    ~SphinxRecognitionTask() override {
        audio_->cancel();
        thread_.join();
    }

  private:
    void decode() {
        std::lock_guard inUse(decoder_->inUse);
        SphinxDecoder& decoder = *decoder_->decoder;
        HypothesisChanges changes;
        decoder.begin();
        for (;;) {
            AudioQueue::Taken taken = audio_->take();
            if (taken.cancelled) {
                return;
            }
            for (const std::vector<float>& samples : taken.buffers) {
                const std::string& transcript =
                    decoder.feed(toPcm16(samples.data(), samples.size()));
                if (reportPartials_ && changes.isNews(transcript)) {
                    deliver(transcript, false);
                }
            }
            if (taken.ended) {
                break;
            }
        }
        deliver(decoder.end(), true);
    }

    void deliver(const std::string& transcript, bool isFinal) {
        mainQueue_.async([handler = handler_, result = RecognitionResult{transcript, isFinal}] {
            (*handler)(result, std::nullopt);
        });
    }

    std::shared_ptr<LoadedDecoder> decoder_;
    std::shared_ptr<AudioQueue> audio_;
    bool reportPartials_;
    std::shared_ptr<ResultHandler> handler_;
    MainQueue& mainQueue_;
    std::thread thread_;
};

}  // namespace

void SphinxRecognitionRequest::append(const AudioBuffer& buffer) {
    const float* samples = buffer.floatChannel0();
    if (samples == nullptr) {
        return;
    }
    audio_->push(std::vector<float>(samples, samples + buffer.frameLength()));
}

std::unique_ptr<RecognitionTask> SphinxRecognizer::recognitionTask(RecognitionRequest& request,
                                                                   ResultHandler handler) {
    auto& sphinxRequest = dynamic_cast<SphinxRecognitionRequest&>(request);
    return std::make_unique<SphinxRecognitionTask>(decoder_, sphinxRequest.audio(),
                                                   sphinxRequest.reportsPartialResults(),
                                                   std::move(handler), mainQueue_);
}

}  // namespace voicepipe::platform::pulse_sphinx
