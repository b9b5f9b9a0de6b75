// The keyboard layout data the live backend hands through the seam, and key translation over it.
//
// On macOS the layout data is a 'uchr' resource; here it is this backend's own form: for each
// macOS key code 0 to 127, the character the same physical key types at the current XKB group's
// unshifted level, as a 32-bit little-endian code point (0: the key types no character).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "key_codes.h"
#include "platform/platform.h"

namespace fieldpilot::platform::live {

using LayoutCharacters = std::array<char32_t, kMacKeyCodeCount>;

std::vector<std::uint8_t> encodeLayout(const LayoutCharacters& characters);

// What `macKeyCode` types under the layout, in at most `maxLength` UTF-16 units. Status -50
// (paramErr) when the data is not in this backend's form.
KeyTranslation translateWithLayout(std::span<const std::uint8_t> layoutData,
                                   std::uint16_t macKeyCode, std::size_t maxLength);

}  // namespace fieldpilot::platform::live
