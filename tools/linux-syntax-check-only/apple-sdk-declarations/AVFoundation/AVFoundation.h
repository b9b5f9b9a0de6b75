// Linux syntax check only: the AVFoundation and AVFAudio declarations the macOS backends use
// (audio engine, input node tap, PCM buffers, capture permission), as the SDK declares them.
// Never seen by a real macOS build.
#pragma once

#import <Foundation/Foundation.h>

#pragma clang assume_nonnull begin

typedef NSUInteger AVAudioNodeBus;
typedef uint32_t AVAudioFrameCount;
typedef uint32_t AVAudioChannelCount;

@interface AVAudioFormat : NSObject
@property(readonly) double sampleRate;
@property(readonly) AVAudioChannelCount channelCount;
- (nullable instancetype)initStandardFormatWithSampleRate:(double)sampleRate
                                                 channels:(AVAudioChannelCount)channels;
@end

@interface AVAudioBuffer : NSObject
@property(readonly) AVAudioFormat* format;
@end

@interface AVAudioPCMBuffer : AVAudioBuffer
@property(readonly) float* _Nonnull const* _Nullable floatChannelData;
@property AVAudioFrameCount frameLength;
@end

@interface AVAudioTime : NSObject
@end

// Called on a thread of the framework's choosing, not the main thread.
typedef void (^AVAudioNodeTapBlock)(AVAudioPCMBuffer* buffer, AVAudioTime* when);

@interface AVAudioNode : NSObject
- (AVAudioFormat*)outputFormatForBus:(AVAudioNodeBus)bus;
- (void)installTapOnBus:(AVAudioNodeBus)bus
             bufferSize:(AVAudioFrameCount)bufferSize
                 format:(AVAudioFormat* _Nullable)format
                  block:(AVAudioNodeTapBlock)tapBlock;
- (void)removeTapOnBus:(AVAudioNodeBus)bus;
@end

@interface AVAudioIONode : AVAudioNode
@end

@interface AVAudioInputNode : AVAudioIONode
@end

@interface AVAudioEngine : NSObject
@property(readonly) AVAudioInputNode* inputNode;
@property(readonly, getter=isRunning) BOOL running;
- (void)prepare;
- (BOOL)startAndReturnError:(NSError* _Nullable* _Nullable)outError;
- (void)stop;
@end

typedef NSString* AVMediaType;
extern AVMediaType const AVMediaTypeAudio;

@interface AVCaptureDevice : NSObject
// The handler is called on an arbitrary dispatch queue.
+ (void)requestAccessForMediaType:(AVMediaType)mediaType
                completionHandler:(void (^)(BOOL granted))handler;
@end

#pragma clang assume_nonnull end
