// Text between CFString and the UTF-8 that the seam speaks.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <string>
#include <string_view>

#include "cf_ref.h"

namespace fieldpilot::platform::mac {

// The whole string, embedded NUL characters included; unpaired surrogates become U+FFFD.
std::string utf8FromCFString(CFStringRef text);

// Null when `text` is not valid UTF-8.
CFRef<CFStringRef> cfStringFromUtf8(std::string_view text);

}  // namespace fieldpilot::platform::mac
