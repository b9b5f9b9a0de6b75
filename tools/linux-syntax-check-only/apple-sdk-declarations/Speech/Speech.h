// Linux syntax check only: the Speech declarations the macOS backends use, as the SDK declares
// them. Never seen by a real macOS build.
#pragma once

#import <AVFoundation/AVFoundation.h>
#import <Foundation/Foundation.h>

#pragma clang assume_nonnull begin

typedef NS_ENUM(NSInteger, SFSpeechRecognizerAuthorizationStatus) {
    SFSpeechRecognizerAuthorizationStatusNotDetermined,
    SFSpeechRecognizerAuthorizationStatusDenied,
    SFSpeechRecognizerAuthorizationStatusRestricted,
    SFSpeechRecognizerAuthorizationStatusAuthorized,
};

@interface SFSpeechRecognitionRequest : NSObject
@property(nonatomic) BOOL shouldReportPartialResults;
@property(nonatomic) BOOL requiresOnDeviceRecognition;
@property(nonatomic) BOOL addsPunctuation;
@end

@interface SFSpeechAudioBufferRecognitionRequest : SFSpeechRecognitionRequest
- (void)appendAudioPCMBuffer:(AVAudioPCMBuffer*)audioPCMBuffer;
- (void)endAudio;
@end

@interface SFTranscription : NSObject
@property(nonatomic, readonly, copy) NSString* formattedString;
@end

@interface SFSpeechRecognitionResult : NSObject
@property(nonatomic, readonly, copy) SFTranscription* bestTranscription;
@property(nonatomic, readonly, getter=isFinal) BOOL final;
@end

@interface SFSpeechRecognitionTask : NSObject
@end

@interface SFSpeechRecognizer : NSObject
// The handler is called on an arbitrary queue, never the recogniser's own.
+ (void)requestAuthorization:(void (^)(SFSpeechRecognizerAuthorizationStatus status))handler;
- (nullable instancetype)init;
- (nullable instancetype)initWithLocale:(NSLocale*)locale;
@property(nonatomic, readonly, getter=isAvailable) BOOL available;
@property(nonatomic) BOOL supportsOnDeviceRecognition;
// The handler runs on the recogniser's queue, the main operation queue unless set otherwise.
- (SFSpeechRecognitionTask*)recognitionTaskWithRequest:(SFSpeechRecognitionRequest*)request
                                         resultHandler:
                                             (void (^)(SFSpeechRecognitionResult* _Nullable result,
                                                       NSError* _Nullable error))resultHandler;
@end

#pragma clang assume_nonnull end
