// The dictation services of macOS: locales, recognisers, the audio engine, permissions.
#import <AVFoundation/AVFoundation.h>
#import <Foundation/Foundation.h>
#import <Speech/Speech.h>

#include <functional>
#include <memory>

#include "audio_engine.h"
#include "ns_text.h"
#include "recognition.h"

namespace voicepipe::platform {
namespace {

using mac::MacAudioEngine;
using mac::MacRecognitionRequest;
using mac::MacRecognizer;

std::shared_ptr<Recognizer> wrap(SFSpeechRecognizer* _Nullable recognizer) {
    if (!recognizer) {
        return nullptr;
    }
    return std::make_shared<MacRecognizer>(recognizer);
}

// SFSpeechRecognizerAuthorizationStatus and SpeechAuthorization share their numbering.
SpeechAuthorization authorizationFrom(SFSpeechRecognizerAuthorizationStatus status) {
    return static_cast<SpeechAuthorization>(status);
}

class MacDictation final : public Dictation {
  public:
    std::string currentLocaleIdentifier() override {
        @autoreleasepool {
            return mac::utf8FromNSString([[NSLocale currentLocale] localeIdentifier]);
        }
    }

    std::shared_ptr<Recognizer> createRecognizer(const std::string& localeIdentifier) override {
        @autoreleasepool {
            NSString* identifier = mac::nsStringFromUtf8(localeIdentifier);
            if (!identifier) {
                return nullptr;
            }
            NSLocale* locale = [NSLocale localeWithLocaleIdentifier:identifier];
            return wrap([[SFSpeechRecognizer alloc] initWithLocale:locale]);
        }
    }

    std::shared_ptr<Recognizer> createDefaultRecognizer() override {
        @autoreleasepool {
            return wrap([[SFSpeechRecognizer alloc] init]);
        }
    }

    std::unique_ptr<AudioEngine> createAudioEngine() override {
        return std::make_unique<MacAudioEngine>();
    }

    std::unique_ptr<RecognitionRequest> createBufferRecognitionRequest() override {
        return std::make_unique<MacRecognitionRequest>();
    }

    void requestSpeechAuthorization(std::function<void(SpeechAuthorization)> handler) override {
        [SFSpeechRecognizer requestAuthorization:^(SFSpeechRecognizerAuthorizationStatus status) {
          handler(authorizationFrom(status));
        }];
    }

    void requestMicrophoneAccess(std::function<void(bool granted)> handler) override {
        [AVCaptureDevice requestAccessForMediaType:AVMediaTypeAudio
                                 completionHandler:^(BOOL granted) {
                                   handler(granted);
                                 }];
    }
};

}  // namespace

// Nothing here needs the main queue: the permission answers come on queues of the platform's
// choosing (the logic moves them over), and recognition results already arrive on the main queue.
std::unique_ptr<Dictation> openDictation(MainQueue&) {
    return std::make_unique<MacDictation>();
}

}  // namespace voicepipe::platform
