#include "value_conversion.h"

#include <ApplicationServices/ApplicationServices.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "cf_text.h"
#include "element_handle.h"
#include "geometry_values.h"

namespace fieldpilot::platform::mac {
namespace {

Value numberValue(CFNumberRef number) {
    // A 32-bit float is kept as one, so that its text has a float's digits, not a double's.
    const CFNumberType type = CFNumberGetType(number);
    if (type == kCFNumberFloat32Type || type == kCFNumberFloatType) {
        float single = 0;
        CFNumberGetValue(number, kCFNumberFloat32Type, &single);
        return single;
    }
    if (!CFNumberIsFloatType(number)) {
        std::int64_t integer = 0;
        // Fails only for integers beyond the signed 64-bit range, which go on as doubles.
        if (CFNumberGetValue(number, kCFNumberSInt64Type, &integer)) {
            return integer;
        }
    }
    double floating = 0;
    CFNumberGetValue(number, kCFNumberDoubleType, &floating);
    return floating;
}

Value arrayValue(CFArrayRef array) {
    Array items;
    const CFIndex count = CFArrayGetCount(array);
    items.reserve(static_cast<std::size_t>(count));
    for (CFIndex i = 0; i < count; ++i) {
        items.push_back(valueFromCF(CFArrayGetValueAtIndex(array, i)));
    }
    return items;
}

Value attributedTextValue(CFAttributedStringRef text) {
    return AttributedText{utf8FromCFString(CFAttributedStringGetString(text))};
}

Value otherValue(CFTypeRef value) {
    const auto description = CFRef<CFStringRef>::adopt(CFCopyTypeIDDescription(CFGetTypeID(value)));
    return OtherValue{description ? utf8FromCFString(description.get()) : std::string()};
}

CFRef<CFTypeRef> cfNumber(CFNumberType type, const void* number) {
    return CFRef<CFNumberRef>::adopt(CFNumberCreate(kCFAllocatorDefault, type, number));
}

CFRef<CFTypeRef> cfArray(const Array& items) {
    std::vector<CFRef<CFTypeRef>> converted;
    std::vector<const void*> raw;
    for (const Value& item : items) {
        CFRef<CFTypeRef> object = cfFromValue(item);
        if (!object) {
            return {};
        }
        raw.push_back(object.get());
        converted.push_back(std::move(object));
    }
    return CFRef<CFArrayRef>::adopt(CFArrayCreate(
        kCFAllocatorDefault, raw.data(), static_cast<CFIndex>(raw.size()), &kCFTypeArrayCallBacks));
}

CFRef<CFTypeRef> cfAttributedString(const AttributedText& text) {
    const CFRef<CFStringRef> plain = cfStringFromUtf8(text.text);
    if (!plain) {
        return {};
    }
    auto attributed = CFRef<CFMutableAttributedStringRef>::adopt(
        CFAttributedStringCreateMutable(kCFAllocatorDefault, 0));
    if (attributed) {
        CFAttributedStringReplaceString(attributed.get(), CFRangeMake(0, 0), plain.get());
    }
    return attributed;
}

struct CFObjectFor {
    CFRef<CFTypeRef> operator()(const std::string& text) const { return cfStringFromUtf8(text); }
    CFRef<CFTypeRef> operator()(std::int64_t integer) const {
        return cfNumber(kCFNumberSInt64Type, &integer);
    }
    CFRef<CFTypeRef> operator()(double floating) const {
        return cfNumber(kCFNumberDoubleType, &floating);
    }
    CFRef<CFTypeRef> operator()(float single) const {
        return cfNumber(kCFNumberFloat32Type, &single);
    }
    CFRef<CFTypeRef> operator()(bool flag) const {
        return CFRef<CFBooleanRef>::retain(flag ? kCFBooleanTrue : kCFBooleanFalse);
    }
    CFRef<CFTypeRef> operator()(const Element& element) const {
        return CFRef<AXUIElementRef>::retain(axElement(element));
    }
    CFRef<CFTypeRef> operator()(const Array& items) const { return cfArray(items); }
    CFRef<CFTypeRef> operator()(const Geometry& geometry) const {
        return axValueFromGeometry(geometry);
    }
    CFRef<CFTypeRef> operator()(const AttributedText& text) const {
        return cfAttributedString(text);
    }
    CFRef<CFTypeRef> operator()(const OtherValue&) const { return {}; }
};

}  // namespace

Value valueFromCF(CFTypeRef value) {
    if (!value) {
        return OtherValue{"null"};
    }
    const CFTypeID type = CFGetTypeID(value);
    if (type == CFStringGetTypeID()) {
        return utf8FromCFString(static_cast<CFStringRef>(value));
    }
    if (type == CFBooleanGetTypeID()) {
        return CFBooleanGetValue(static_cast<CFBooleanRef>(value)) != 0;
    }
    if (type == CFNumberGetTypeID()) {
        return numberValue(static_cast<CFNumberRef>(value));
    }
    if (type == AXUIElementGetTypeID()) {
        return makeElement(CFRef<AXUIElementRef>::retain(static_cast<AXUIElementRef>(value)));
    }
    if (type == CFArrayGetTypeID()) {
        return arrayValue(static_cast<CFArrayRef>(value));
    }
    if (type == AXValueGetTypeID()) {
        return geometryFromAXValue(static_cast<AXValueRef>(value));
    }
    if (type == CFAttributedStringGetTypeID()) {
        return attributedTextValue(static_cast<CFAttributedStringRef>(value));
    }
    return otherValue(value);
}

CFRef<CFTypeRef> cfFromValue(const Value& value) {
    return std::visit(CFObjectFor{}, value.storage());
}

}  // namespace fieldpilot::platform::mac
