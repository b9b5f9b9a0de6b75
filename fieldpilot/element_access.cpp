#include "element_access.h"

#include <array>
#include <cmath>

#include "number_text.h"

namespace fieldpilot {

namespace {

// NSNumber's stringValue ("%0.7g" for a 32-bit float, "%0.16g" for a double).
constexpr int kFloatDigits = 7;
constexpr int kDoubleDigits = 16;

// NSNumber's stringValue: integers in decimal, floating numbers with the significant digits of
// their precision (a float 0.3 and the double 0.1 + 0.2 both read "0.3"), and booleans (CFBoolean
// is an NSNumber) as "1" or "0".
std::optional<std::string> numberText(const Value& value) {
    if (const auto* integer = value.get<std::int64_t>())
        return std::to_string(*integer);
    if (const auto* flag = value.get<bool>())
        return std::string(*flag ? "1" : "0");
    if (const auto* number = value.get<double>())
        return number_text::withSignificantDigits(*number, kDoubleDigits);
    if (const auto* number = value.get<float>())
        return number_text::withSignificantDigits(*number, kFloatDigits);
    return std::nullopt;
}

// An attribute read that holds an element. The platform hands over an untyped object; a value
// of any other kind cannot be used as an element, so it counts as no element.
std::optional<Element> elementAttribute(Desktop& desktop, const Element& element,
                                        std::string_view name) {
    const auto value = attribute(desktop, element, name);
    if (!value)
        return std::nullopt;
    if (const auto* found = value->get<Element>())
        return *found;
    return std::nullopt;
}

// AXValueGetValue: the numbers of a geometry value of exactly the wanted type.
std::optional<std::array<double, 2>> geometryPair(const Value& value,
                                                  platform::Geometry::Type type) {
    const auto* geometry = value.get<platform::Geometry>();
    if (!geometry || geometry->type != type || geometry->numbers.size() != 2)
        return std::nullopt;
    return std::array<double, 2>{geometry->numbers[0], geometry->numbers[1]};
}

// Truncation toward zero, for coordinates that a signed 64-bit integer can hold; anything else
// (not finite, out of range) has no integer form.
std::optional<std::int64_t> truncatedCoordinate(double coordinate) {
    // 2^63 is exact as a double; every finite double below it in magnitude truncates into range.
    constexpr double kLimit = 9223372036854775808.0;
    if (!std::isfinite(coordinate) || coordinate >= kLimit || coordinate < -kLimit) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(coordinate);
}

}  // namespace

AttributeRead copyAttribute(Desktop& desktop, const Element& element, std::string_view name) {
    AttributeRead read = desktop.copyAttributeValue(element, name);
    // Whatever a failed call left in the slot is not a value.
    if (read.status != 0)
        read.value.reset();
    return read;
}

std::optional<Value> attribute(Desktop& desktop, const Element& element, std::string_view name) {
    return copyAttribute(desktop, element, name).value;
}

TextRead stringRead(Desktop& desktop, const Element& element, std::string_view name) {
    const AttributeRead read = copyAttribute(desktop, element, name);
    if (!read.value)
        return {std::nullopt, read.status};
    if (const auto* text = read.value->get<std::string>())
        return {*text, read.status};
    return {numberText(*read.value), read.status};
}

std::optional<std::string> string(Desktop& desktop, const Element& element, std::string_view name) {
    return stringRead(desktop, element, name).text;
}

bool isUnreadable(AXStatus status) {
    return status != 0 && status != kAXErrorAttributeUnsupported && status != kAXErrorNoValue;
}

bool boolean(Desktop& desktop, const Element& element, std::string_view name) {
    const auto value = attribute(desktop, element, name);
    if (!value)
        return false;
    if (const auto* flag = value->get<bool>())
        return *flag;
    if (const auto* integer = value->get<std::int64_t>())
        return *integer == 1;
    if (const auto* number = value->get<double>())
        return *number == 1.0;
    if (const auto* number = value->get<float>())
        return *number == 1.0f;
    return false;
}

AXStatus setFlag(Desktop& desktop, const Element& element, std::string_view name, bool on) {
    return desktop.setAttributeValue(element, name, Value(on));
}

std::optional<Element> focusedWindow(Desktop& desktop, const Element& application) {
    if (auto window = elementAttribute(desktop, application, "AXFocusedWindow"))
        return window;
    if (auto window = elementAttribute(desktop, application, "AXMainWindow"))
        return window;
    return std::nullopt;
}

std::optional<WindowBounds> windowBounds(Desktop& desktop, const Element& application) {
    const auto window = focusedWindow(desktop, application);
    if (!window)
        return std::nullopt;
    const auto position = attribute(desktop, *window, "AXPosition");
    if (!position)
        return std::nullopt;
    const auto size = attribute(desktop, *window, "AXSize");
    if (!size)
        return std::nullopt;
    const auto point = geometryPair(*position, platform::Geometry::Type::Point);
    if (!point)
        return std::nullopt;
    const auto extent = geometryPair(*size, platform::Geometry::Type::Size);
    if (!extent)
        return std::nullopt;

    const auto x = truncatedCoordinate((*point)[0]);
    const auto y = truncatedCoordinate((*point)[1]);
    const auto w = truncatedCoordinate((*extent)[0]);
    const auto h = truncatedCoordinate((*extent)[1]);
    if (!x || !y || !w || !h)
        return std::nullopt;
    return WindowBounds{*x, *y, *w, *h};
}

std::optional<std::vector<Element>> elementArray(const Value& value) {
    const auto* array = value.get<platform::Array>();
    if (!array)
        return std::nullopt;
    std::vector<Element> elements;
    elements.reserve(array->size());
    for (const auto& entry : *array) {
        const auto* element = entry.get<Element>();
        if (!element)
            return std::nullopt;
        elements.push_back(*element);
    }
    return elements;
}

}  // namespace fieldpilot
