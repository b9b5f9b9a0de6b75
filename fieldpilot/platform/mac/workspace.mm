// Running applications (AppKit) and file existence (Foundation).
#import <AppKit/AppKit.h>
#import <Foundation/Foundation.h>

#include "cf_text.h"
#include "mac_desktop.h"

namespace fieldpilot::platform::mac {
namespace {

std::optional<std::string> optionalText(NSString* _Nullable text) {
    if (!text) {
        return std::nullopt;
    }
    return utf8FromCFString((__bridge CFStringRef)text);
}

RunningApplication describe(NSRunningApplication* app) {
    RunningApplication described;
    described.pid = app.processIdentifier;
    described.localizedName = optionalText(app.localizedName);
    described.bundleIdentifier = optionalText(app.bundleIdentifier);
    if (NSURL* bundle = app.bundleURL) {
        described.bundlePath = optionalText(bundle.path);
    }
    described.terminated = app.terminated;
    return described;
}

}  // namespace

std::optional<RunningApplication> MacDesktop::frontmostApplication() {
    @autoreleasepool {
        NSRunningApplication* app = [[NSWorkspace sharedWorkspace] frontmostApplication];
        if (!app) {
            return std::nullopt;
        }
        return describe(app);
    }
}

std::optional<RunningApplication> MacDesktop::runningApplication(Pid pid) {
    @autoreleasepool {
        NSRunningApplication* app =
            [NSRunningApplication runningApplicationWithProcessIdentifier:pid];
        if (!app) {
            return std::nullopt;
        }
        return describe(app);
    }
}

bool MacDesktop::activateApplication(Pid pid, std::uint32_t options) {
    @autoreleasepool {
        NSRunningApplication* app =
            [NSRunningApplication runningApplicationWithProcessIdentifier:pid];
        if (!app) {
            return false;
        }
        return [app activateWithOptions:static_cast<NSApplicationActivationOptions>(options)];
    }
}

bool MacDesktop::fileExists(const std::string& path) {
    @autoreleasepool {
        NSFileManager* files = [NSFileManager defaultManager];
        // Any bytes make a path here; an NSString built as UTF-8 would be nil for some of them.
        NSString* filePath = [files stringWithFileSystemRepresentation:path.c_str()
                                                                length:path.size()];
        return [files fileExistsAtPath:filePath];
    }
}

}  // namespace fieldpilot::platform::mac
