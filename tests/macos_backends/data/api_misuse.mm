// Deliberate misuses of the declared Apple APIs for the syntax check's own test. With
// MISUSE_NONE the file compiles; each other MISUSE_ case holds one fault that must not compile.
#import <AppKit/AppKit.h>
#include <ApplicationServices/ApplicationServices.h>
#include <dispatch/dispatch.h>

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
