// The one seam between fieldpilot's logic and the desktop it acts on.
//
// Everything here is phrased in the platform's own terms (accessibility elements, attribute
// names, AXError status codes, running applications, keyboard events, window descriptions) and
// narrowed to what fieldpilot needs. A backend owns no policy: no retries, no defaults, no JSON.
// Backends: mac/ (the real frameworks), linux/ (AT-SPI2 and X11) and sim/ (the scriptable desktop
// of the Linux build).
#pragma once

#include <chrono>
#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace fieldpilot::platform {

using Pid = std::int32_t;
using AXStatus = std::int32_t;  // AXError: 0 is success, failures are negative
using Micros = std::chrono::microseconds;

// Backend-owned state behind an Element. Releasing the last Element releases the platform object.
struct ElementHandle {
    virtual ~ElementHandle() = default;
};

// An accessibility element (AXUIElement). Copies share one reference, as CFRetain would.
class Element {
  public:
    Element() = default;
    explicit Element(std::shared_ptr<const ElementHandle> handle) : handle_(std::move(handle)) {}

    explicit operator bool() const { return handle_ != nullptr; }
    const ElementHandle* handle() const { return handle_.get(); }

  private:
    std::shared_ptr<const ElementHandle> handle_;
};

// An AXValue: a geometry value with its AXValueType (point 1, size 2, rect 3, range 4).
struct Geometry {
    enum class Type : std::int32_t { Illegal = 0, Point = 1, Size = 2, Rect = 3, Range = 4 };
    Type type = Type::Illegal;
    // Point: x, y. Size: width, height. Rect: x, y, width, height. Range: location, length.
    std::vector<double> numbers;
};

// A CFAttributedString: text with attributes, which is not a plain string.
struct AttributedText {
    std::string text;
};

// A value of a kind the seam does not model (a date, a URL, ...), described for diagnosis only.
struct OtherValue {
    std::string typeName;
};

class Value;
using Array = std::vector<Value>;

// An attribute value as the platform hands it over. Booleans (CFBoolean) are kept apart from
// numbers; numbers are integers or floating-point as the platform stored them. A number stored as
// a 32-bit float stays a float: NSNumber's stringValue writes it with fewer digits than a double.
class Value {
  public:
    using Storage = std::variant<std::string, std::int64_t, double, float, bool, Element, Array,
                                 Geometry, AttributedText, OtherValue>;

    template <typename T>
    requires std::constructible_from<Storage, T> Value(T&& value)
        : storage_(std::forward<T>(value)) {}
    Value(const char* text) : storage_(std::string(text)) {}

    const Storage& storage() const { return storage_; }
    template <typename T>
    const T* get() const {
        return std::get_if<T>(&storage_);
    }

  private:
    Storage storage_;
};

// The result of AXUIElementCopyAttributeValue: the status, and whatever the slot holds.
struct AttributeRead {
    AXStatus status = 0;
    std::optional<Value> value;
};

// An NSRunningApplication, as seen at the moment of the query.
struct RunningApplication {
    Pid pid = 0;
    std::optional<std::string> localizedName;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> bundlePath;  // the file system path of its bundle URL
    bool terminated = false;
};

// Owned platform objects of the keyboard services; each is released with its last owner.
struct EventSourceHandle {
    virtual ~EventSourceHandle() = default;
};
struct KeyboardEventHandle {
    virtual ~KeyboardEventHandle() = default;
};
struct InputSourceHandle {
    virtual ~InputSourceHandle() = default;
};

// The outcome of one UCKeyTranslate call: its OSStatus and the UTF-16 units it produced.
struct KeyTranslation {
    std::int32_t status = 0;
    std::u16string characters;
};

// One window description of the window server: string keys in the order listed.
using WindowDescription = std::vector<std::pair<std::string, Value>>;
// The list CGWindowListCopyWindowInfo returns. An entry that does not convert to a dictionary
// with string keys is std::nullopt.
using WindowInfoList = std::vector<std::optional<WindowDescription>>;

class Desktop {
  public:
    virtual ~Desktop() = default;

    // Accessibility (ApplicationServices)
    virtual bool isProcessTrusted() = 0;                    // AXIsProcessTrusted, no prompt
    virtual Element createApplicationElement(Pid pid) = 0;  // AXUIElementCreateApplication
    virtual Element createSystemWideElement() = 0;          // AXUIElementCreateSystemWide
    virtual AttributeRead copyAttributeValue(const Element& element, std::string_view name) = 0;
    virtual AXStatus setAttributeValue(const Element& element, std::string_view name,
                                       const Value& value) = 0;
    // AXUIElementIsAttributeSettable; `settable` is written only when the call answers.
    virtual AXStatus isAttributeSettable(const Element& element, std::string_view name,
                                         bool& settable) = 0;
    virtual AXStatus getPid(const Element& element, Pid& pid) = 0;  // AXUIElementGetPid
    // Whether the application, given by its element, keeps its accessibility tree from this
    // process: it is built on a toolkit that exposes its tree only to assistive technology that
    // was present when it started, and it exposes none now. A Linux condition: false on macOS.
    virtual bool hidesAccessibilityTree(const Element& application) = 0;

    // Workspace (AppKit)
    virtual std::optional<RunningApplication> frontmostApplication() = 0;
    virtual std::optional<RunningApplication> runningApplication(Pid pid) = 0;
    // activateWithOptions: on the running application with that pid; false when refused or
    // when no running application has the pid.
    virtual bool activateApplication(Pid pid, std::uint32_t options) = 0;

    // Keyboard (Core Graphics, Carbon text input)
    virtual std::uint64_t hidSystemModifierFlags() = 0;  // CGEventSourceFlagsState(HID state)
    // CGEventSourceCreate(kCGEventSourceStatePrivate); null when it cannot be created.
    virtual std::unique_ptr<EventSourceHandle> createPrivateEventSource() = 0;
    // CGEventCreateKeyboardEvent; `source` may be null. Null when it cannot be created.
    virtual std::unique_ptr<KeyboardEventHandle> createKeyboardEvent(
        const EventSourceHandle* source, std::uint16_t keyCode, bool keyDown) = 0;
    virtual void setEventFlags(KeyboardEventHandle& event, std::uint64_t flags) = 0;
    virtual void postToHidEventTap(KeyboardEventHandle& event) = 0;  // CGEventPost(kCGHIDEventTap)
    // TISCopyCurrentKeyboardLayoutInputSource; null when there is none.
    virtual std::unique_ptr<InputSourceHandle> copyCurrentKeyboardLayoutInputSource() = 0;
    // The bytes of kTISPropertyUnicodeKeyLayoutData, owned by `source`; nullopt when absent.
    virtual std::optional<std::span<const std::uint8_t>> unicodeKeyLayoutData(
        const InputSourceHandle& source) = 0;
    // UCKeyTranslate over layout data from unicodeKeyLayoutData, with room for `maxLength` units.
    virtual KeyTranslation translateKey(std::span<const std::uint8_t> layoutData,
                                        std::uint16_t keyCode, std::uint16_t keyAction,
                                        std::uint32_t modifierKeyState, std::uint32_t keyboardType,
                                        std::uint32_t options, std::uint32_t& deadKeyState,
                                        std::size_t maxLength) = 0;
    virtual std::uint32_t keyboardType() = 0;  // LMGetKbdType
    virtual bool isSecureEventInputEnabled() = 0;

    // Window server: CGWindowListCopyWindowInfo(kCGWindowListOptionIncludingWindow, number);
    // nullopt when the call returns no list.
    virtual std::optional<WindowInfoList> copyWindowInfo(std::uint32_t windowNumber) = 0;

    // Files, time and the run loop
    virtual bool fileExists(const std::string& path) = 0;
    virtual Micros now() = 0;                       // a monotonic clock
    virtual void sleepFor(Micros duration) = 0;     // usleep
    virtual void spinRunLoop(Micros duration) = 0;  // the current run loop, runUntilDate: now + d
};

// This build's desktop: the real one on macOS. On Linux, FIELDPILOT_DESKTOP chooses: a path names
// a simulated desktop file, ":demo" the built-in demo desktop, and unset means the live desktop.
// A desktop loaded from a file writes its state back when destroyed. When the desktop cannot be
// opened, this writes one line naming the problem on standard error and returns null.
std::unique_ptr<Desktop> openDesktop();

}  // namespace fieldpilot::platform
