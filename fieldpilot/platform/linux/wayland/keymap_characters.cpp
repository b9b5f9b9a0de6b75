#include "wayland/keymap_characters.h"

namespace fieldpilot::platform::live {
namespace {

constexpr std::uint32_t kXkbKeycodeOffset = 8;
constexpr xkb_level_index_t kUnshiftedLevel = 0;
constexpr xkb_layout_index_t kFirstLayout = 0;

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

}  // namespace fieldpilot::platform::live
