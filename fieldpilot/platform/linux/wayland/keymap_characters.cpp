#include "wayland/keymap_characters.h"

#include <memory>

namespace fieldpilot::platform::live {
namespace {

constexpr std::uint32_t kXkbKeycodeOffset = 8;
constexpr xkb_level_index_t kUnshiftedLevel = 0;
constexpr xkb_layout_index_t kFirstLayout = 0;

struct KeymapDeleter {
    void operator()(xkb_keymap* keymap) const { xkb_keymap_unref(keymap); }
};
struct ContextDeleter {
    void operator()(xkb_context* context) const { xkb_context_unref(context); }
};

const char* nameOrDefault(const std::string& name) {
    return name.empty() ? nullptr : name.c_str();
}

}  // namespace

KeyCharacters charactersOf(xkb_keymap* keymap) {
    KeyCharacters characters{};
    if (!keymap)
        return characters;
    for (std::uint16_t evdevCode = 1; evdevCode < kEvdevCodeCount; ++evdevCode) {
        const xkb_keysym_t* symbols = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, evdevCode + kXkbKeycodeOffset,
                                                           kFirstLayout, kUnshiftedLevel, &symbols);
        if (count > 0)
            characters[evdevCode] = xkb_keysym_to_utf32(symbols[0]);
    }
    return characters;
}

std::optional<KeyCharacters> charactersOfLayout(const std::string& model, const std::string& layout,
                                                const std::string& variant) {
    const std::unique_ptr<xkb_context, ContextDeleter> context(
        xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (!context)
        return std::nullopt;
    // A variant means nothing without its layout.
    const xkb_rule_names names{nullptr, nameOrDefault(model), nameOrDefault(layout),
                               layout.empty() ? nullptr : nameOrDefault(variant), nullptr};
    const std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        return std::nullopt;
    return charactersOf(keymap.get());
}

}  // namespace fieldpilot::platform::live
