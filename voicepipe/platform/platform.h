// The one seam between voicepipe's logic and the platform it dictates on.
//
// Two services cross it: the dispatch queues (a main serial queue that the main thread serves,
// delayed work, a repeating timer and signal sources) and the dictation services (speech
// recogniser, buffer recognition request, audio engine, permission requests). The logic decides
// everything; a backend only carries it out. Backends: mac/ (libdispatch, Speech, AVFoundation),
// linux/ (our own event loop), pulse_sphinx/ (PulseAudio capture and PocketSphinx recognition on a
// Linux desktop) and sim/ (the scripted recogniser, microphone and permission answers of the Linux
// build); linux_dictation/ picks between the last two.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace voicepipe::platform {

using Micros = std::chrono::microseconds;
using Work = std::function<void()>;

// The main serial queue. Work runs one block at a time on the main thread once serve() has taken
// it over; submissions may come from any thread.
class MainQueue {
  public:
    virtual ~MainQueue() = default;

    virtual void async(Work work) = 0;
    virtual void after(Micros delay, Work work) = 0;
    // Fires every `interval`, first one interval from now, in turn with the queue's other work,
    // for the life of the process.
    virtual void repeating(Micros interval, Work tick) = 0;
    // A signal source on the main queue. It reports `signal` even when the signal's disposition
    // is "ignore", which is how the caller keeps the default action from ending the process.
    virtual void onSignal(int signal, Work handler) = 0;
    // Hands the calling (main) thread to the queue for good.
    [[noreturn]] virtual void serve() = 0;
    // The clock that the queue's delays are measured against.
    virtual Micros now() = 0;
};

// Captured audio: an AVAudioPCMBuffer as the tap receives it.
class AudioBuffer {
  public:
    virtual ~AudioBuffer() = default;
    virtual std::uint32_t frameLength() const = 0;
    // The samples of channel 0, or null when the buffer carries no float channel data.
    virtual const float* floatChannel0() const = 0;
};

struct AudioFormat {
    double sampleRate = 0;
    std::uint32_t channelCount = 0;
};

// Called on the audio capture thread, one buffer at a time.
using TapBlock = std::function<void(const AudioBuffer&)>;

// AVAudioEngine. Where the platform raises an exception instead of returning an error (AVFAudio
// does for an input it cannot use), the call catches it and returns its reason: nothing is ever
// thrown across the seam.
class AudioEngine {
  public:
    virtual ~AudioEngine() = default;
    // outputFormatForBus: of the input node; a rate or channel count of 0 means no input device.
    virtual AudioFormat inputFormat(int bus) = 0;
    // installTapOnBus:bufferSize:format:block: of the input node; nullopt, else the reason.
    virtual std::optional<std::string> installTap(int bus, std::uint32_t bufferSize,
                                                  AudioFormat format, TapBlock tap) = 0;
    virtual void removeTap(int bus) = 0;
    // nullopt, else the reason.
    virtual std::optional<std::string> prepare() = 0;
    // startAndReturnError: nullopt on success, else the error's localised description or the
    // reason.
    virtual std::optional<std::string> start() = 0;
    virtual bool isRunning() = 0;
    virtual void stop() = 0;
    // AVAudioEngineConfigurationChangeNotification: the audio hardware changed (headphones
    // plugged in, say) and the engine has stopped itself. `handler` runs on the main queue each
    // time the change is reported.
    virtual void onConfigurationChange(Work handler) = 0;
};

// SFSpeechAudioBufferRecognitionRequest. append() is called on the capture thread while
// endAudio() may be called on the main queue; the request accepts both.
class RecognitionRequest {
  public:
    virtual ~RecognitionRequest() = default;
    virtual void setShouldReportPartialResults(bool on) = 0;
    virtual void setAddsPunctuation(bool on) = 0;
    virtual void setRequiresOnDeviceRecognition(bool on) = 0;
    virtual void append(const AudioBuffer& buffer) = 0;
    virtual void endAudio() = 0;
};

struct RecognitionResult {
    std::string bestTranscription;  // bestTranscription.formattedString
    bool isFinal = false;
};

struct RecognitionError {
    std::string localizedDescription;
};

// Called on the main queue, any number of times, with a result, an error, both or neither.
using ResultHandler = std::function<void(const std::optional<RecognitionResult>& result,
                                         const std::optional<RecognitionError>& error)>;

// SFSpeechRecognitionTask; kept alive for the session and never cancelled.
class RecognitionTask {
  public:
    virtual ~RecognitionTask() = default;
};

class Recognizer {
  public:
    virtual ~Recognizer() = default;
    virtual bool isAvailable() = 0;
    virtual bool supportsOnDeviceRecognition() = 0;
    virtual std::unique_ptr<RecognitionTask> recognitionTask(RecognitionRequest& request,
                                                             ResultHandler handler) = 0;
};

// SFSpeechRecognizerAuthorizationStatus
enum class SpeechAuthorization : int {
    NotDetermined = 0,
    Denied = 1,
    Restricted = 2,
    Authorized = 3
};

class Dictation {
  public:
    virtual ~Dictation() = default;

    virtual std::string currentLocaleIdentifier() = 0;
    // initWithLocale:; null when no recogniser exists for the locale.
    virtual std::shared_ptr<Recognizer> createRecognizer(const std::string& localeIdentifier) = 0;
    // init: for the user's default language settings; null when there is none.
    virtual std::shared_ptr<Recognizer> createDefaultRecognizer() = 0;
    virtual std::unique_ptr<AudioEngine> createAudioEngine() = 0;
    virtual std::unique_ptr<RecognitionRequest> createBufferRecognitionRequest() = 0;
    // Each handler is called once, on a queue of the platform's choosing.
    virtual void requestSpeechAuthorization(std::function<void(SpeechAuthorization)> handler) = 0;
    virtual void requestMicrophoneAccess(std::function<void(bool granted)> handler) = 0;
};

// This build's main queue (libdispatch on macOS, our event loop on Linux).
std::unique_ptr<MainQueue> openMainQueue();

// This build's dictation services, delivering their callbacks through `mainQueue`: the real ones
// on macOS; on Linux the scenario named by VOICEPIPE_SCENARIO, or the live PulseAudio and
// PocketSphinx services when it is unset. When the scenario cannot be loaded, this writes one line
// naming the problem on standard error and returns null.
std::unique_ptr<Dictation> openDictation(MainQueue& mainQueue);

}  // namespace voicepipe::platform
