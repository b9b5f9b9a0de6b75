#include "bus_calls.h"

#include <cstring>
#include <utility>

#include "accessibility_session.h"

namespace fieldpilot::platform::live {
namespace {

DBusMessage* newCall(AtspiAccessible* object, const char* interface, const char* method) {
    const AtspiObject* atspiObject = ATSPI_OBJECT(object);
    if (!atspiObject->app || !atspiObject->app->bus_name || !atspiObject->path)
        return nullptr;
    return dbus_message_new_method_call(atspiObject->app->bus_name, atspiObject->path, interface,
                                        method);
}

BusReply send(DBusMessage* message, const char* signature) {
    if (!message)
        return {};
    DBusError error;
    dbus_error_init(&error);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(atspi_get_a11y_bus(), message,
                                                                   currentCallTimeoutMs(), &error);
    dbus_message_unref(message);
    dbus_error_free(&error);
    BusReply owned(reply);
    if (!reply || std::strcmp(dbus_message_get_signature(reply), signature) != 0)
        return {};
    return owned;
}

// The first argument, or what the variant there holds.
bool valueIterator(const BusReply& reply, int argument, DBusMessageIter& value) {
    if (!reply || !dbus_message_iter_init(reply.message(), &value))
        return false;
    for (int skipped = 0; skipped < argument; ++skipped) {
        if (!dbus_message_iter_next(&value))
            return false;
    }
    if (dbus_message_iter_get_arg_type(&value) == DBUS_TYPE_VARIANT) {
        DBusMessageIter inner;
        dbus_message_iter_recurse(&value, &inner);
        value = inner;
    }
    return true;
}

}  // namespace

BusReply::~BusReply() {
    if (message_)
        dbus_message_unref(message_);
}

BusReply::BusReply(BusReply&& other) noexcept : message_(std::exchange(other.message_, nullptr)) {}

BusReply& BusReply::operator=(BusReply&& other) noexcept {
    std::swap(message_, other.message_);
    return *this;
}

BusReply callObject(AtspiAccessible* object, const char* interface, const char* method,
                    std::initializer_list<std::int32_t> arguments, const char* signature) {
    DBusMessage* message = newCall(object, interface, method);
    if (message) {
        for (const std::int32_t argument : arguments) {
            const dbus_int32_t value = argument;
            dbus_message_append_args(message, DBUS_TYPE_INT32, &value, DBUS_TYPE_INVALID);
        }
    }
    return send(message, signature);
}

BusReply propertyOf(AtspiAccessible* object, const char* interface, const char* property,
                    char type) {
    DBusMessage* message = newCall(object, "org.freedesktop.DBus.Properties", "Get");
    if (message) {
        dbus_message_append_args(message, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                                 DBUS_TYPE_INVALID);
    }
    BusReply reply = send(message, "v");
    DBusMessageIter value;
    if (!valueIterator(reply, 0, value) || dbus_message_iter_get_arg_type(&value) != type)
        return {};
    return reply;
}

std::optional<std::string> stringIn(const BusReply& reply) {
    DBusMessageIter value;
    if (!valueIterator(reply, 0, value) ||
        dbus_message_iter_get_arg_type(&value) != DBUS_TYPE_STRING)
        return std::nullopt;
    const char* text = nullptr;
    dbus_message_iter_get_basic(&value, &text);
    return std::string(text ? text : "");
}

std::optional<std::int32_t> integerIn(const BusReply& reply, int argument) {
    DBusMessageIter value;
    if (!valueIterator(reply, argument, value) ||
        dbus_message_iter_get_arg_type(&value) != DBUS_TYPE_INT32)
        return std::nullopt;
    dbus_int32_t number = 0;
    dbus_message_iter_get_basic(&value, &number);
    return number;
}

}  // namespace fieldpilot::platform::live
