// UTF-16 to UTF-8, for the text that Core Foundation hands over in UTF-16 units. Plain C++, so
// the Linux build can test it.
#pragma once

#include <string>
#include <string_view>

namespace fieldpilot::platform::mac {

// A surrogate without its partner (which CFString allows) becomes U+FFFD, so the result is
// always valid UTF-8 and never cut short.
std::string utf8FromUtf16(std::u16string_view units);

}  // namespace fieldpilot::platform::mac
