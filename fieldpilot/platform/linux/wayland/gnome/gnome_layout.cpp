#include "wayland/gnome/gnome_layout.h"

#include <gio/gio.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "g_ref.h"
#include "wayland/keymap_characters.h"

namespace fieldpilot::platform::live {
namespace {

constexpr const char* kInputSourcesSchema = "org.gnome.desktop.input-sources";
constexpr const char* kXkbSource = "xkb";

using InputSource = std::pair<std::string, std::string>;  // type, id ("fr+azerty")

// An older or newer schema may lack a key, whose read would abort the process.
std::vector<InputSource> sourcesOf(GSettingsSchema* schema, GSettings* settings, const char* key) {
    std::vector<InputSource> sources;
    if (!g_settings_schema_has_key(schema, key))
        return sources;
    GVariant* value = g_settings_get_value(settings, key);
    if (!g_variant_is_of_type(value, G_VARIANT_TYPE("a(ss)"))) {
        g_variant_unref(value);
        return sources;
    }
    GVariantIter iter;
    g_variant_iter_init(&iter, value);
    const gchar* type = nullptr;
    const gchar* id = nullptr;
    while (g_variant_iter_next(&iter, "(&s&s)", &type, &id))
        sources.emplace_back(type, id);
    g_variant_unref(value);
    return sources;
}

// The user's current input source; none when there are no sources (or no GNOME settings).
std::optional<InputSource> currentSource() {
    GSettingsSchemaSource* schemas = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        schemas ? g_settings_schema_source_lookup(schemas, kInputSourcesSchema, TRUE) : nullptr;
    if (!schema)
        return std::nullopt;
    auto settings = GRef<GSettings>::adopt(g_settings_new_full(schema, nullptr, nullptr));
    const auto sources = sourcesOf(schema, settings.get(), "sources");
    const auto recent = sourcesOf(schema, settings.get(), "mru-sources");
    g_settings_schema_unref(schema);
    for (const auto& source : recent) {
        if (std::ranges::find(sources, source) != sources.end())
            return source;
    }
    if (sources.empty())
        return std::nullopt;
    return sources.front();
}

}  // namespace

std::optional<KeyCharacters> gnomeLayoutCharacters() {
    const auto source = currentSource();
    if (!source)
        return charactersOfLayout("", "", "");
    if (source->first != kXkbSource)
        return std::nullopt;
    const std::string& id = source->second;
    const auto plus = id.find('+');
    if (plus == std::string::npos)
        return charactersOfLayout("", id, "");
    return charactersOfLayout("", id.substr(0, plus), id.substr(plus + 1));
}

}  // namespace fieldpilot::platform::live
