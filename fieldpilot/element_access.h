// The thin layer over accessibility attributes that every command uses. Nothing here reports or
// retries: a failed read is an absent value (or false), a failed write is its status.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace fieldpilot {

using platform::AttributeRead;
using platform::AXStatus;
using platform::Desktop;
using platform::Element;
using platform::Value;

struct WindowBounds {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t w = 0;
    std::int64_t h = 0;
};

// The attribute's value; absent when the read fails or succeeds without a value.
std::optional<Value> attribute(Desktop& desktop, const Element& element, std::string_view name);
// The value as `attribute` gives it, together with the read's status unchanged.
AttributeRead copyAttribute(Desktop& desktop, const Element& element, std::string_view name);
// The statuses that say an element has no such value, rather than that it could not be read.
inline constexpr AXStatus kAXErrorAttributeUnsupported = -25205;
inline constexpr AXStatus kAXErrorNoValue = -25212;

// Text values as they are; numbers (booleans included) as their string form; else absent.
std::optional<std::string> string(Desktop& desktop, const Element& element, std::string_view name);
// The text as `string` gives it, with the status of the read.
struct TextRead {
    std::optional<std::string> text;
    AXStatus status = 0;
};
TextRead stringRead(Desktop& desktop, const Element& element, std::string_view name);
// Whether a read with this status failed to learn the value (a timeout, an element gone, an error),
// as opposed to succeeding or being told that there is no such value.
bool isUnreadable(AXStatus status);
// A boolean, or a number equal to 1 or 0; everything else (failures included) is false.
bool boolean(Desktop& desktop, const Element& element, std::string_view name);
AXStatus setFlag(Desktop& desktop, const Element& element, std::string_view name, bool on);
// The application's focused window, else its main window.
std::optional<Element> focusedWindow(Desktop& desktop, const Element& application);
// Position and size of the application's focused (else main) window, truncated to integers.
std::optional<WindowBounds> windowBounds(Desktop& desktop, const Element& application);

// The entries of an array value when every one of them is an element (as a cast to an array of
// elements would succeed); else absent.
std::optional<std::vector<Element>> elementArray(const Value& value);

}  // namespace fieldpilot
