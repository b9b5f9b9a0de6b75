// Linux syntax check only: the Core Foundation declarations the macOS backends use, as the SDK
// declares them (types, nullability, the Create/Get rule in the comments). Never seen by a real
// macOS build.
#pragma once

#include <stdbool.h>
#include <stdint.h>
#include <sys/types.h>

#define CF_ENUM(_type, _name) \
    enum _name : _type _name; \
    enum _name : _type
// As the SDK spells it for C++: a plain integer type plus unnamed constants.
#define CF_OPTIONS(_type, _name) \
    _type _name;                 \
    enum : _name
#define CF_RETURNS_RETAINED __attribute__((cf_returns_retained))

#ifdef __cplusplus
extern "C" {
#endif

#pragma clang assume_nonnull begin

typedef unsigned char UInt8;
typedef unsigned short UInt16;
typedef unsigned int UInt32;
typedef signed int SInt32;
typedef unsigned char Boolean;
typedef SInt32 OSStatus;
typedef UInt32 OptionBits;
typedef UInt16 UniChar;
typedef unsigned long UniCharCount;

typedef long CFIndex;
typedef unsigned long CFTypeID;
typedef const void* CFTypeRef;
typedef const struct __CFAllocator* CFAllocatorRef;
typedef const struct __CFString* CFStringRef;
typedef const struct __CFBoolean* CFBooleanRef;
typedef const struct __CFNumber* CFNumberRef;
typedef const struct __CFArray* CFArrayRef;
typedef const struct __CFDictionary* CFDictionaryRef;
typedef const struct __CFData* CFDataRef;
typedef const struct __CFAttributedString* CFAttributedStringRef;
typedef struct __CFAttributedString* CFMutableAttributedStringRef;

typedef struct {
    CFIndex location;
    CFIndex length;
} CFRange;

static inline CFRange CFRangeMake(CFIndex loc, CFIndex len) {
    CFRange range = {loc, len};
    return range;
}

// kCFAllocatorDefault is NULL at run time.
extern const CFAllocatorRef _Nullable kCFAllocatorDefault;

CFTypeRef CFRetain(CFTypeRef cf);
void CFRelease(CFTypeRef cf);
CFTypeID CFGetTypeID(CFTypeRef cf);
CF_RETURNS_RETAINED CFStringRef CFCopyTypeIDDescription(CFTypeID type_id);

// Strings
typedef UInt32 CFStringEncoding;
typedef CF_ENUM(CFStringEncoding, CFStringBuiltInEncodings) {
    kCFStringEncodingUTF8 = 0x08000100,
};
CFTypeID CFStringGetTypeID(void);
CFIndex CFStringGetLength(CFStringRef theString);
void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer);
CF_RETURNS_RETAINED CFStringRef _Nullable CFStringCreateWithBytes(CFAllocatorRef _Nullable alloc,
                                                                  const UInt8* bytes,
                                                                  CFIndex numBytes,
                                                                  CFStringEncoding encoding,
                                                                  Boolean isExternalRepresentation);

// Booleans and numbers
extern const CFBooleanRef kCFBooleanTrue;
extern const CFBooleanRef kCFBooleanFalse;
CFTypeID CFBooleanGetTypeID(void);
Boolean CFBooleanGetValue(CFBooleanRef boolean);

typedef CF_ENUM(CFIndex, CFNumberType) {
    kCFNumberSInt32Type = 3,
    kCFNumberSInt64Type = 4,
    kCFNumberDoubleType = 13,
};
CFTypeID CFNumberGetTypeID(void);
CF_RETURNS_RETAINED CFNumberRef _Nullable CFNumberCreate(CFAllocatorRef _Nullable allocator,
                                                         CFNumberType theType,
                                                         const void* valuePtr);
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr);
Boolean CFNumberIsFloatType(CFNumberRef number);

// Arrays
typedef struct {
    CFIndex version;
    const void* _Nullable retain;
    const void* _Nullable release;
    const void* _Nullable copyDescription;
    const void* _Nullable equal;
} CFArrayCallBacks;
extern const CFArrayCallBacks kCFTypeArrayCallBacks;
CFTypeID CFArrayGetTypeID(void);
CF_RETURNS_RETAINED CFArrayRef _Nullable CFArrayCreate(CFAllocatorRef _Nullable allocator,
                                                       const void* _Nullable* _Nullable values,
                                                       CFIndex numValues,
                                                       const CFArrayCallBacks* _Nullable callBacks);
CFIndex CFArrayGetCount(CFArrayRef theArray);
// Get rule: the array keeps the value.
const void* _Nullable CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx);

// Dictionaries
CFTypeID CFDictionaryGetTypeID(void);
CFIndex CFDictionaryGetCount(CFDictionaryRef theDict);
void CFDictionaryGetKeysAndValues(CFDictionaryRef theDict, const void* _Nullable* _Nullable keys,
                                  const void* _Nullable* _Nullable values);

// Data
CFTypeID CFDataGetTypeID(void);
CFIndex CFDataGetLength(CFDataRef theData);
const UInt8* _Nullable CFDataGetBytePtr(CFDataRef theData);

// Attributed strings
CFTypeID CFAttributedStringGetTypeID(void);
CFStringRef CFAttributedStringGetString(CFAttributedStringRef aStr);
CF_RETURNS_RETAINED CFMutableAttributedStringRef _Nullable CFAttributedStringCreateMutable(
    CFAllocatorRef _Nullable alloc, CFIndex maxLength);
void CFAttributedStringReplaceString(CFMutableAttributedStringRef aStr, CFRange range,
                                     CFStringRef replacement);

#pragma clang assume_nonnull end

#ifdef __cplusplus
}
#endif
