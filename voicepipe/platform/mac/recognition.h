// The speech recogniser, its buffer request and its task. Objective-C++ only.
#pragma once

#import <Speech/Speech.h>

#include <memory>

#include "platform/platform.h"

namespace voicepipe::platform::mac {

class MacRecognitionRequest final : public RecognitionRequest {
  public:
    MacRecognitionRequest();

    void setShouldReportPartialResults(bool on) override;
    void setAddsPunctuation(bool on) override;
    void setRequiresOnDeviceRecognition(bool on) override;
    void append(const AudioBuffer& buffer) override;
    void endAudio() override;

    SFSpeechAudioBufferRecognitionRequest* request() const { return request_; }

  private:
    SFSpeechAudioBufferRecognitionRequest* request_;
};

class MacRecognizer final : public Recognizer {
  public:
    explicit MacRecognizer(SFSpeechRecognizer* recognizer) : recognizer_(recognizer) {}

    bool isAvailable() override;
    bool supportsOnDeviceRecognition() override;
    std::unique_ptr<RecognitionTask> recognitionTask(RecognitionRequest& request,
                                                     ResultHandler handler) override;

  private:
    SFSpeechRecognizer* recognizer_;
};

}  // namespace voicepipe::platform::mac
