// Linux syntax check only: the Carbon declarations the macOS backends use (text input sources,
// key translation, keyboard type, secure event input), as the SDK declares them. Never seen by a
// real macOS build.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#ifdef __cplusplus
extern "C" {
#endif

#pragma clang assume_nonnull begin

enum {
    paramErr = -50,
};

typedef struct __TISInputSource* TISInputSourceRef;
extern const CFStringRef kTISPropertyUnicodeKeyLayoutData;
CF_RETURNS_RETAINED TISInputSourceRef _Nullable TISCopyCurrentKeyboardLayoutInputSource(void);
// Get rule: the property belongs to the input source.
void* _Nullable TISGetInputSourceProperty(TISInputSourceRef inputSource, CFStringRef propertyKey);

struct UCKeyboardLayout;
typedef struct UCKeyboardLayout UCKeyboardLayout;
enum {
    kUCKeyActionDown = 0,
    kUCKeyActionUp = 1,
    kUCKeyActionAutoKey = 2,
    kUCKeyActionDisplay = 3,
};
OSStatus UCKeyTranslate(const UCKeyboardLayout* keyLayoutPtr, UInt16 virtualKeyCode,
                        UInt16 keyAction, UInt32 modifierKeyState, UInt32 keyboardType,
                        OptionBits keyTranslateOptions, UInt32* deadKeyState,
                        UniCharCount maxStringLength, UniCharCount* actualStringLength,
                        UniChar unicodeString[_Nonnull]);

UInt8 LMGetKbdType(void);
Boolean IsSecureEventInputEnabled(void);

#pragma clang assume_nonnull end

#ifdef __cplusplus
}
#endif
