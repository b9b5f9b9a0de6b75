#include "audio_engine.h"

#include "ns_text.h"

namespace voicepipe::platform::mac {
namespace {

AVAudioNodeBus nodeBus(int bus) {
    return static_cast<AVAudioNodeBus>(bus);
}

// The input node's tap must use the node's own format object; the seam carries only its rate and
// channel count, so the node's format is used whenever it still matches them.
AVAudioFormat* _Nullable tapFormat(AVAudioInputNode* input, int bus, AudioFormat wanted) {
    AVAudioFormat* native = [input outputFormatForBus:nodeBus(bus)];
    if (native.sampleRate == wanted.sampleRate && native.channelCount == wanted.channelCount) {
        return native;
    }
    return [[AVAudioFormat alloc] initStandardFormatWithSampleRate:wanted.sampleRate
                                                          channels:wanted.channelCount];
}

std::string exceptionText(NSException* exception) {
    NSString* reason = exception.reason;
    return utf8FromNSString(reason ? reason : exception.name);
}

}  // namespace

const float* MacAudioBuffer::floatChannel0() const {
    float* const* channels = buffer_.floatChannelData;
    if (!channels || buffer_.format.channelCount == 0) {
        return nullptr;
    }
    return channels[0];
}

MacAudioEngine::MacAudioEngine() : engine_([[AVAudioEngine alloc] init]) {}

MacAudioEngine::~MacAudioEngine() {
    stopObservingConfiguration();
}

AudioFormat MacAudioEngine::inputFormat(int bus) {
    @autoreleasepool {
        AVAudioFormat* format = [engine_.inputNode outputFormatForBus:nodeBus(bus)];
        return {format.sampleRate, format.channelCount};
    }
}

std::optional<std::string> MacAudioEngine::installTap(int bus, std::uint32_t bufferSize,
                                                      AudioFormat format, TapBlock tap) {
    @autoreleasepool {
        @try {
            AVAudioInputNode* input = engine_.inputNode;
            [input installTapOnBus:nodeBus(bus)
                        bufferSize:bufferSize
                            format:tapFormat(input, bus, format)
                             block:^(AVAudioPCMBuffer* buffer, AVAudioTime*) {
                               @autoreleasepool {
                                   const MacAudioBuffer captured(buffer);
                                   tap(captured);
                               }
                             }];
            return std::nullopt;
        } @catch (NSException* exception) {
            return exceptionText(exception);
        }
    }
}

void MacAudioEngine::removeTap(int bus) {
    @autoreleasepool {
        [engine_.inputNode removeTapOnBus:nodeBus(bus)];
    }
}

std::optional<std::string> MacAudioEngine::prepare() {
    @autoreleasepool {
        @try {
            [engine_ prepare];
            return std::nullopt;
        } @catch (NSException* exception) {
            return exceptionText(exception);
        }
    }
}

std::optional<std::string> MacAudioEngine::start() {
    @autoreleasepool {
        @try {
            NSError* error = nil;
            if ([engine_ startAndReturnError:&error]) {
                return std::nullopt;
            }
            return error ? utf8FromNSString(error.localizedDescription) : std::string();
        } @catch (NSException* exception) {
            return exceptionText(exception);
        }
    }
}

bool MacAudioEngine::isRunning() {
    return engine_.running;
}

void MacAudioEngine::stop() {
    [engine_ stop];
}

void MacAudioEngine::onConfigurationChange(Work handler) {
    stopObservingConfiguration();
    // Posted on a thread of AVFAudio's choosing, after the engine has stopped itself; the handler
    // belongs on the main queue with the rest of the session.
    configurationObserver_ = [NSNotificationCenter.defaultCenter
        addObserverForName:AVAudioEngineConfigurationChangeNotification
                    object:engine_
                     queue:nil
                usingBlock:^(NSNotification*) {
                  dispatch_async(dispatch_get_main_queue(), ^{
                    handler();
                  });
                }];
}

void MacAudioEngine::stopObservingConfiguration() {
    if (configurationObserver_) {
        [NSNotificationCenter.defaultCenter removeObserver:configurationObserver_];
        configurationObserver_ = nil;
    }
}

}  // namespace voicepipe::platform::mac
