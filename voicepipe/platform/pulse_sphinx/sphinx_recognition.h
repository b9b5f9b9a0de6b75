// The PocketSphinx recogniser, its buffer recognition request and its task. The task decodes the
// request's audio on a thread of its own and hands each new hypothesis to the main queue as a
// partial result, and once the audio has ended the transcript of it all as the final result.
#pragma once

#include <memory>
#include <mutex>

#include "platform/platform.h"
#include "platform/pulse_sphinx/audio_queue.h"
#include "platform/pulse_sphinx/sphinx_decoder.h"

namespace voicepipe::platform::pulse_sphinx {

class SphinxRecognitionRequest final : public RecognitionRequest {
  public:
    void setShouldReportPartialResults(bool on) override { partialResults_ = on; }
    // PocketSphinx writes no punctuation: the request is accepted and has no effect.
    void setAddsPunctuation(bool) override {}
    // Recognition never leaves the machine.
    void setRequiresOnDeviceRecognition(bool) override {}
    void append(const AudioBuffer& buffer) override;
    void endAudio() override { audio_->end(); }

    bool reportsPartialResults() const { return partialResults_; }
    std::shared_ptr<AudioQueue> audio() const { return audio_; }

  private:
    bool partialResults_ = true;
    std::shared_ptr<AudioQueue> audio_ = std::make_shared<AudioQueue>();
};

// A loaded model; one task at a time decodes with it.
struct LoadedDecoder {
    std::mutex inUse;
    std::unique_ptr<SphinxDecoder> decoder;
};

class SphinxRecognizer final : public Recognizer {
  public:
    SphinxRecognizer(std::shared_ptr<LoadedDecoder> decoder, MainQueue& mainQueue)
        : decoder_(std::move(decoder)), mainQueue_(mainQueue) {}

    bool isAvailable() override { return true; }
    bool supportsOnDeviceRecognition() override { return true; }
    // `request` must be a SphinxRecognitionRequest.
    std::unique_ptr<RecognitionTask> recognitionTask(RecognitionRequest& request,
                                                     ResultHandler handler) override;

  private:
    std::shared_ptr<LoadedDecoder> decoder_;
    MainQueue& mainQueue_;
};

}  // namespace voicepipe::platform::pulse_sphinx
