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

AudioFormat MacAudioEngine::inputFormat(int bus) {
    @autoreleasepool {
        AVAudioFormat* format = [engine_.inputNode outputFormatForBus:nodeBus(bus)];
        return {format.sampleRate, format.channelCount};
    }
}

void MacAudioEngine::installTap(int bus, std::uint32_t bufferSize, AudioFormat format,
                                TapBlock tap) {
    @autoreleasepool {
        AVAudioInputNode* input = engine_.inputNode;
        // AVFAudio raises an exception instead of returning an error when the format cannot be
        // used (a Mac without any audio input reports 0 Hz): it becomes the start failure.
        @try {
            [input installTapOnBus:nodeBus(bus)
                        bufferSize:bufferSize
                            format:tapFormat(input, bus, format)
                             block:^(AVAudioPCMBuffer* buffer, AVAudioTime*) {
                               @autoreleasepool {
                                   const MacAudioBuffer captured(buffer);
                                   tap(captured);
                               }
                             }];
        } @catch (NSException* exception) {
            tapFailure_ = exceptionText(exception);
        }
    }
}

void MacAudioEngine::removeTap(int bus) {
    @autoreleasepool {
        [engine_.inputNode removeTapOnBus:nodeBus(bus)];
    }
}

void MacAudioEngine::prepare() {
    [engine_ prepare];
}

std::optional<std::string> MacAudioEngine::start() {
    if (tapFailure_) {
        return tapFailure_;
    }
    @autoreleasepool {
        NSError* error = nil;
        if ([engine_ startAndReturnError:&error]) {
            return std::nullopt;
        }
        return error ? utf8FromNSString(error.localizedDescription) : std::string();
    }
}

bool MacAudioEngine::isRunning() {
    return engine_.running;
}

void MacAudioEngine::stop() {
    [engine_ stop];
}

}  // namespace voicepipe::platform::mac
