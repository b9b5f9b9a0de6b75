// The keyboard layouts the simulated desktop knows, and the layout data bytes it hands out for
// them. The bytes are this backend's own encoding: "SKL2", then for each key its code, the UTF-16
// units it types without modifiers and those it types while Command is held, each text preceded by
// its length (all numbers 16-bit little-endian).
#pragma once

#include <cstdint>
#include <span>
#include <variant>
#include <vector>

#include "platform/sim/sim_state.h"

namespace fieldpilot::sim {

// UCKeyTranslate's status for output that does not fit the buffer.
inline constexpr std::int32_t kUCOutputBufferTooSmall = -25340;
// The generic parameter error (paramErr), here for layout data that is not this encoding.
inline constexpr std::int32_t kParamErr = -50;

// A layout whose keys type the same with Command held as without modifiers.
KeyboardLayout sameWithCommand(KeyTable keys);

KeyboardLayout usLayout();      // ANSI US
KeyboardLayout frenchLayout();  // French AZERTY
// Dvorak, turning into ANSI US while Command is held, as macOS's "Dvorak – QWERTY ⌘" does.
KeyboardLayout dvorakQwertyCommandLayout();

std::vector<std::uint8_t> encodeLayout(const KeyboardLayout& layout);
// What the key types, without modifiers or with Command held, from encoded layout data: the text
// (empty for a key without text), or the status kParamErr when the data is not an encoded layout.
std::variant<std::u16string, std::int32_t> typedByKey(std::span<const std::uint8_t> layoutData,
                                                      std::uint16_t keyCode, bool commandHeld);

}  // namespace fieldpilot::sim
