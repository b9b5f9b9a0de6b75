// Calls to an application's object made over the accessibility bus directly, with the timeout of
// the ApplicationCall they serve. libatspi's own calls report neither a timeout nor an answer of
// the wrong type (both come back as an empty answer), and its getters store what they read in
// the object, where filing the application's tree at the same moment also writes.
#pragma once

#include <atspi/atspi.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

namespace fieldpilot::platform::live {

// A method's reply; empty when the call failed, timed out or answered with another signature.
class BusReply {
  public:
    BusReply() = default;
    explicit BusReply(DBusMessage* message) : message_(message) {}
    ~BusReply();
    BusReply(BusReply&& other) noexcept;
    BusReply& operator=(BusReply&& other) noexcept;
    BusReply(const BusReply&) = delete;
    BusReply& operator=(const BusReply&) = delete;

    explicit operator bool() const { return message_ != nullptr; }
    DBusMessage* message() const { return message_; }

  private:
    DBusMessage* message_ = nullptr;
};

// Calls `method` of `interface` on the object with 32-bit integer arguments, expecting a reply
// of `signature` (D-Bus type codes, e.g. "s" or "ii").
BusReply callObject(AtspiAccessible* object, const char* interface, const char* method,
                    std::initializer_list<std::int32_t> arguments, const char* signature);

// A property of the object, answered as a value of `type` ("s", "i").
BusReply propertyOf(AtspiAccessible* object, const char* interface, const char* property,
                    char type);
// The value of the first argument (or of the property's variant) as text or as an integer.
std::optional<std::string> stringIn(const BusReply& reply);
std::optional<std::int32_t> integerIn(const BusReply& reply, int argument = 0);

}  // namespace fieldpilot::platform::live
