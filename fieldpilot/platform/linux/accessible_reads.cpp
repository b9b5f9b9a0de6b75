#include "accessible_reads.h"

#include <memory>
#include <string>

#include "ax_status.h"
#include "text_offsets.h"

namespace fieldpilot::platform::live {
namespace {

using GString = std::unique_ptr<gchar, GFreeDeleter>;

struct RangeOffsets {
    std::int64_t start = 0;
    std::int64_t end = 0;
};

// The first selection, or the caret as an empty range when nothing is selected.
std::optional<RangeOffsets> selectionOrCaret(ApplicationCall& call, AtspiText* text) {
    const int selections = atspi_text_get_n_selections(text, call.error());
    if (call.hasError())
        return std::nullopt;
    if (selections > 0) {
        std::unique_ptr<AtspiRange, GFreeDeleter> range(
            atspi_text_get_selection(text, 0, call.error()));
        if (call.hasError() || !range)
            return std::nullopt;
        return RangeOffsets{range->start_offset, range->end_offset};
    }
    const int caret = atspi_text_get_caret_offset(text, call.error());
    if (call.hasError())
        return std::nullopt;
    return RangeOffsets{caret, caret};
}

const gchar* lookUp(GHashTable* attributes, const char* key) {
    return static_cast<const gchar*>(g_hash_table_lookup(attributes, key));
}

// Where toolkits put a placeholder: GTK and Firefox in "placeholder-text", Chromium in
// "placeholder" beside a name from elsewhere, or as the name itself, which it then marks with
// "name-from". A name that nothing marks as the placeholder (Firefox names a field after its
// placeholder without saying so) may be a label, and is not taken for one.
AttributeRead placeholder(ApplicationCall& call, AtspiAccessible* accessible) {
    GHashTable* attributes = atspi_accessible_get_attributes(accessible, call.error());
    if (call.hasError() || !attributes)
        return {call.failed(), std::nullopt};
    const gchar* text = lookUp(attributes, "placeholder-text");
    if (!text)
        text = lookUp(attributes, "placeholder");
    const gchar* nameFrom = lookUp(attributes, "name-from");
    const bool namedByPlaceholder =
        !text && nameFrom && std::string_view(nameFrom) == "placeholder";
    AttributeRead read{kAXErrorNoValue, std::nullopt};
    if (text)
        read = {kAXSuccess, Value(std::string(text))};
    g_hash_table_unref(attributes);
    if (namedByPlaceholder) {
        auto name = nameOf(accessible);
        read = name ? AttributeRead{kAXSuccess, Value(std::move(*name))}
                    : AttributeRead{call.failed(), std::nullopt};
    }
    return read;
}

// One string property, asked of the application over the accessibility bus.
std::optional<std::string> stringProperty(AtspiAccessible* accessible, const char* interface,
                                          const char* property) {
    const AtspiObject* object = ATSPI_OBJECT(accessible);
    if (!object->app || !object->app->bus_name || !object->path)
        return std::nullopt;
    DBusMessage* message = dbus_message_new_method_call(object->app->bus_name, object->path,
                                                        "org.freedesktop.DBus.Properties", "Get");
    if (!message)
        return std::nullopt;
    dbus_message_append_args(message, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                             DBUS_TYPE_INVALID);
    DBusError error;
    dbus_error_init(&error);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(
        atspi_get_a11y_bus(), message, static_cast<int>(kCallTimeout.count()), &error);
    dbus_message_unref(message);
    dbus_error_free(&error);
    if (!reply)
        return std::nullopt;
    std::optional<std::string> text;
    DBusMessageIter iter;
    DBusMessageIter variant;
    if (dbus_message_iter_init(reply, &iter) &&
        dbus_message_iter_get_arg_type(&iter) == DBUS_TYPE_VARIANT) {
        dbus_message_iter_recurse(&iter, &variant);
        if (dbus_message_iter_get_arg_type(&variant) == DBUS_TYPE_STRING) {
            const char* value = nullptr;
            dbus_message_iter_get_basic(&variant, &value);
            text = value ? value : "";
        }
    }
    dbus_message_unref(reply);
    return text;
}

}  // namespace

// libatspi's own getter stores the answer in the object, where filing the application's tree at
// the same moment also writes, and one of the two strings is lost; asking directly avoids that.
std::optional<std::string> nameOf(AtspiAccessible* accessible) {
    return stringProperty(accessible, "org.a11y.atspi.Accessible", "Name");
}

std::optional<std::string> toolkitNameOf(AtspiAccessible* application) {
    return stringProperty(application, "org.a11y.atspi.Application", "ToolkitName");
}

std::optional<std::string> wholeText(ApplicationCall& call, AtspiText* text) {
    GString content(atspi_text_get_text(text, 0, -1, call.error()));
    if (call.hasError() || !content)
        return std::nullopt;
    return std::string(content.get());
}

GRef<AtspiStateSet> statesOf(ApplicationCall& call, AtspiAccessible* accessible) {
    auto states = GRef<AtspiStateSet>::adopt(atspi_accessible_get_state_set(accessible));
    if (call.ranOutOfTime())
        return {};
    return states;
}

bool hasState(AtspiStateSet* states, AtspiStateType state) {
    return states && atspi_state_set_contains(states, state);
}

std::vector<GRef<AtspiAccessible>> childrenOf(ApplicationCall& call, AtspiAccessible* accessible,
                                              bool& failed) {
    failed = false;
    std::vector<GRef<AtspiAccessible>> children;
    const int count = atspi_accessible_get_child_count(accessible, call.error());
    if (call.hasError() || count < 0) {
        failed = true;
        return {};
    }
    children.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        auto child = GRef<AtspiAccessible>::adopt(
            atspi_accessible_get_child_at_index(accessible, index, call.error()));
        if (call.hasError()) {
            failed = true;
            return {};
        }
        if (child)
            children.push_back(std::move(child));
    }
    return children;
}

AttributeRead textAttribute(ApplicationCall& call, AtspiAccessible* accessible,
                            std::string_view name) {
    if (name == "AXPlaceholderValue")
        return placeholder(call, accessible);
    const auto text = GRef<AtspiText>::adopt(atspi_accessible_get_text_iface(accessible));
    if (!text)
        return {kAXErrorAttributeUnsupported, std::nullopt};
    const auto content = wholeText(call, text.get());
    if (!content)
        return {call.failed(), std::nullopt};
    if (name == "AXValue")
        return {kAXSuccess, Value(*content)};

    const auto selection = selectionOrCaret(call, text.get());
    if (!selection)
        return {call.failed(), std::nullopt};
    if (name == "AXSelectedText")
        return {kAXSuccess, Value(characterSlice(*content, selection->start, selection->end))};
    const Utf16Range range = utf16Range(*content, selection->start, selection->end);
    return {
        kAXSuccess,
        Value(Geometry{Geometry::Type::Range,
                       {static_cast<double>(range.location), static_cast<double>(range.length)}})};
}

}  // namespace fieldpilot::platform::live
