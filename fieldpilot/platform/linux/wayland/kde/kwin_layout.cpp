#include "wayland/kde/kwin_layout.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "wayland/keymap_characters.h"

namespace fieldpilot::platform::live {
namespace {

constexpr int kCallTimeoutMs = 150;

using Settings = std::map<std::string, std::string>;

std::filesystem::path configFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return config;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : "") / ".config";
}

// The [Layout] group of kxkbrc.
Settings layoutSettings() {
    Settings settings;
    std::ifstream in(configFolder() / "kxkbrc");
    bool inLayout = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('[')) {
            inLayout = line == "[Layout]";
        } else if (const auto equals = line.find('='); inLayout && equals != std::string::npos) {
            settings[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return settings;
}

std::vector<std::string> commaSeparated(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto comma = std::min(text.find(',', start), text.size());
        items.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

// The index of the active layout among several; 0 when KWin has one (and no such object).
unsigned activeLayoutIndex(GDBusConnection* bus) {
    if (!bus)
        return 0;
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.kde.keyboard", "/Layouts", "org.kde.KeyboardLayouts", "getLayout", nullptr,
        G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, nullptr);
    if (!reply)
        return 0;
    guint32 index = 0;
    g_variant_get(reply, "(u)", &index);
    g_variant_unref(reply);
    return index;
}

std::string itemAt(const std::vector<std::string>& items, unsigned index) {
    return index < items.size() ? items[index] : std::string();
}

}  // namespace

// Without a layout in kxkbrc, KWin compiles XKB's defaults, which the XKB_DEFAULT_* variables of
// its environment choose: ours are taken to be the same.
std::optional<KeyCharacters> kwinLayoutCharacters(GDBusConnection* bus) {
    Settings settings = layoutSettings();
    std::string layout;
    std::string variant;
    if (settings["Use"] == "true" && !settings["LayoutList"].empty()) {
        const unsigned index = activeLayoutIndex(bus);
        layout = itemAt(commaSeparated(settings["LayoutList"]), index);
        variant = itemAt(commaSeparated(settings["VariantList"]), index);
    }
    return charactersOfLayout(settings["Model"], layout, variant);
}

}  // namespace fieldpilot::platform::live
