// Deliberate misuses of the declared Apple APIs and of Apple's libc++ for the syntax check's own
// test. With MISUSE_NONE the file compiles; each other MISUSE_ case holds one fault that must not
// compile.
#import <AppKit/AppKit.h>
#include <ApplicationServices/ApplicationServices.h>
#include <dispatch/dispatch.h>

#include <charconv>

AXError readAttribute(AXUIElementRef element, CFStringRef name) {
    CFTypeRef value = nullptr;
#if defined(MISUSE_ARGUMENT_COUNT)
    const AXError status = AXUIElementCopyAttributeValue(element, &value);
#else
    const AXError status = AXUIElementCopyAttributeValue(element, name, &value);
#endif
    if (value) {
        CFRelease(value);
    }
    return status;
}

void postKey(CGEventRef event) {
#if defined(MISUSE_ARGUMENT_TYPE)
    CGEventPost(event, kCGHIDEventTap);
#else
    CGEventPost(kCGHIDEventTap, event);
#endif
}

BOOL nameIsAFile(NSRunningApplication* app) {
#if defined(MISUSE_NULLABLE_ARGUMENT)
    return [[NSFileManager defaultManager] fileExistsAtPath:app.localizedName];
#else
    NSString* name = app.localizedName;
    return name ? [[NSFileManager defaultManager] fileExistsAtPath:name] : NO;
#endif
}

void dropSource(dispatch_source_t source) {
#if defined(MISUSE_MANUAL_RELEASE)
    dispatch_release(source);
#else
    dispatch_source_cancel(source);
#endif
}

// Apple's libc++ has floating-point std::to_chars only from macOS 13.3 on.
char* writeNumber(char* begin, char* end) {
#if defined(MISUSE_UNAVAILABLE_IN_LIBCXX)
    return std::to_chars(begin, end, 0.5).ptr;
#else
    return std::to_chars(begin, end, 5).ptr;
#endif
}
