// macOS virtual key codes as the Linux input event codes of the same physical keys.
#pragma once

#include <cstdint>
#include <optional>

namespace fieldpilot::platform::live {

// The key codes the seam carries are the macOS ones, 0 to 127.
constexpr std::uint16_t kMacKeyCodeCount = 128;

// The evdev code of the key at the same place as the macOS key. Command stands for Control, the
// shortcut modifier on Linux. None for codes with no such key (Fn, unassigned codes, codes past
// 127).
std::optional<std::uint16_t> evdevCodeForMacKey(std::uint16_t macKeyCode);

}  // namespace fieldpilot::platform::live
