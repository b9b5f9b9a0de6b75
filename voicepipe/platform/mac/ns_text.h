// Text between NSString and the UTF-8 that the seam speaks. Objective-C++ only.
#pragma once

#import <Foundation/Foundation.h>

#include <string>

NS_ASSUME_NONNULL_BEGIN

namespace voicepipe::platform::mac {

// Unpaired surrogates, which NSString allows, become "?" rather than losing the whole text.
inline std::string utf8FromNSString(NSString* text) {
    NSData* bytes = [text dataUsingEncoding:NSUTF8StringEncoding allowLossyConversion:YES];
    if (!bytes || bytes.length == 0) {
        return std::string();
    }
    return std::string(static_cast<const char*>(bytes.bytes), bytes.length);
}

// Nil when `text` is not valid UTF-8.
inline NSString* _Nullable nsStringFromUtf8(const std::string& text) {
    return [[NSString alloc] initWithBytes:text.data()
                                    length:text.size()
                                  encoding:NSUTF8StringEncoding];
}

}  // namespace voicepipe::platform::mac

NS_ASSUME_NONNULL_END
