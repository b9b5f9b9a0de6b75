#include "cf_text.h"

#include <cstddef>
#include <vector>

#include "utf.h"

namespace fieldpilot::platform::mac {

std::string utf8FromCFString(CFStringRef text) {
    const CFIndex length = CFStringGetLength(text);
    std::vector<UniChar> units(static_cast<std::size_t>(length));
    CFStringGetCharacters(text, CFRangeMake(0, length), units.data());
    return utf::utf16ToUtf8(std::u16string(units.begin(), units.end()));
}

CFRef<CFStringRef> cfStringFromUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const UInt8*>(text.empty() ? "" : text.data());
    return CFRef<CFStringRef>::adopt(CFStringCreateWithBytes(kCFAllocatorDefault, bytes,
                                                             static_cast<CFIndex>(text.size()),
                                                             kCFStringEncodingUTF8, false));
}

}  // namespace fieldpilot::platform::mac
