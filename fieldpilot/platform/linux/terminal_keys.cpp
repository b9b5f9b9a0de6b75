#include "terminal_keys.h"

namespace fieldpilot::platform::live {
namespace {

constexpr std::uint16_t kCommandKey = 55;

}  // namespace

TerminalKey terminalKey(std::uint16_t macKeyCode, bool commandHeld) {
    if (macKeyCode == kCommandKey)
        return TerminalKey::AddShift;
    return commandHeld ? TerminalKey::AsIs : TerminalKey::Withheld;
}

}  // namespace fieldpilot::platform::live
