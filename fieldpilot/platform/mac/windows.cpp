// Window descriptions of the window server (Core Graphics).
#include <ApplicationServices/ApplicationServices.h>

#include <cstddef>
#include <vector>

#include "cf_ref.h"
#include "cf_text.h"
#include "mac_desktop.h"
#include "value_conversion.h"

namespace fieldpilot::platform::mac {
namespace {

std::optional<WindowDescription> describeWindow(const void* entry) {
    if (!entry || CFGetTypeID(entry) != CFDictionaryGetTypeID()) {
        return std::nullopt;
    }
    const auto dictionary = static_cast<CFDictionaryRef>(entry);
    const auto count = static_cast<std::size_t>(CFDictionaryGetCount(dictionary));
    std::vector<const void*> keys(count);
    std::vector<const void*> values(count);
    CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
    WindowDescription description;
    for (std::size_t i = 0; i < count; ++i) {
        if (!keys[i] || CFGetTypeID(keys[i]) != CFStringGetTypeID()) {
            return std::nullopt;
        }
        description.emplace_back(utf8FromCFString(static_cast<CFStringRef>(keys[i])),
                                 valueFromCF(values[i]));
    }
    return description;
}

}  // namespace

std::optional<WindowInfoList> MacDesktop::copyWindowInfo(std::uint32_t windowNumber) {
    const auto list = CFRef<CFArrayRef>::adopt(
        CGWindowListCopyWindowInfo(kCGWindowListOptionIncludingWindow, windowNumber));
    if (!list) {
        return std::nullopt;
    }
    WindowInfoList descriptions;
    const CFIndex count = CFArrayGetCount(list.get());
    for (CFIndex i = 0; i < count; ++i) {
        descriptions.push_back(describeWindow(CFArrayGetValueAtIndex(list.get(), i)));
    }
    return descriptions;
}

}  // namespace fieldpilot::platform::mac
