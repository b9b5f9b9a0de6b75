// Linux syntax check only: the Foundation classes the macOS backends use, with the SDK's
// declared types and nullability. Never seen by a real macOS build.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#import <objc/NSObject.h>

#pragma clang assume_nonnull begin

typedef double NSTimeInterval;
typedef NSUInteger NSStringEncoding;
enum {
    NSUTF8StringEncoding = 4,
};

@interface NSData : NSObject
@property(readonly) NSUInteger length;
@property(readonly) const void* bytes;
@end

@interface NSString : NSObject
@property(readonly) NSUInteger length;
- (nullable instancetype)initWithBytes:(const void*)bytes
                                length:(NSUInteger)len
                              encoding:(NSStringEncoding)encoding;
- (nullable NSData*)dataUsingEncoding:(NSStringEncoding)encoding allowLossyConversion:(BOOL)lossy;
@end

typedef NSString* NSExceptionName;

@interface NSException : NSObject
@property(readonly, copy) NSExceptionName name;
@property(nullable, readonly, copy) NSString* reason;
@end

@interface NSError : NSObject
@property(readonly, copy) NSString* localizedDescription;
@end

@interface NSURL : NSObject
@property(nullable, readonly, copy) NSString* path;
@end

@interface NSLocale : NSObject
@property(class, readonly, copy) NSLocale* currentLocale;
@property(readonly, copy) NSString* localeIdentifier;
+ (instancetype)localeWithLocaleIdentifier:(NSString*)ident;
@end

@interface NSDate : NSObject
+ (instancetype)dateWithTimeIntervalSinceNow:(NSTimeInterval)secs;
@end

@interface NSRunLoop : NSObject
@property(class, readonly, strong) NSRunLoop* currentRunLoop;
- (void)runUntilDate:(NSDate*)limitDate;
@end

@interface NSFileManager : NSObject
@property(class, readonly, strong) NSFileManager* defaultManager;
- (BOOL)fileExistsAtPath:(NSString*)path;
- (NSString*)stringWithFileSystemRepresentation:(const char*)str length:(NSUInteger)len;
@end

#pragma clang assume_nonnull end
