// Linux syntax check only: the Objective-C root class and basic types, as the SDK declares them.
// Never seen by a real macOS build.
#pragma once

#if !defined(__OBJC__)
#error "objc/NSObject.h is Objective-C"
#endif

#include <stdint.h>

// BOOL is signed char on x86_64 (bool on arm64); signed char is the stricter of the two here.
typedef signed char BOOL;
#define YES ((BOOL)1)
#define NO ((BOOL)0)

#define nil nullptr
#define NS_ASSUME_NONNULL_BEGIN _Pragma("clang assume_nonnull begin")
#define NS_ASSUME_NONNULL_END _Pragma("clang assume_nonnull end")

typedef long NSInteger;
typedef unsigned long NSUInteger;

#define NS_ENUM(_type, _name) CF_ENUM(_type, _name)
#define NS_OPTIONS(_type, _name) CF_OPTIONS(_type, _name)
#ifndef CF_ENUM
#define CF_ENUM(_type, _name) \
    enum _name : _type _name; \
    enum _name : _type
#define CF_OPTIONS(_type, _name) \
    _type _name;                 \
    enum : _name
#endif

#pragma clang assume_nonnull begin

@protocol NSObject
@end

__attribute__((objc_root_class))
@interface NSObject<NSObject>
+ (instancetype)alloc;
+ (instancetype)new;
- (instancetype)init;
@end

#pragma clang assume_nonnull end
