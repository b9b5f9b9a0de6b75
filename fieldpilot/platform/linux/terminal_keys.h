// Which of the seam's key events a terminal gets, and how. A terminal hands Control and a letter
// to the program running in it (Control+C interrupts it, Control+V types ^V) and keeps its own
// select all, copy and paste on Control+Shift; a key pressed on its own goes to the shell, which
// echoes it or acts on it (a Right Arrow becomes an escape sequence, a Delete removes a
// character of the command line).
#pragma once

#include <cstdint>

namespace fieldpilot::platform::live {

enum class TerminalKey {
    AsIs,      // a key of a shortcut whose modifier is already down
    AddShift,  // the Command key: typed as Control with Shift, the terminal's own shortcuts
    Withheld,  // a key on its own: not posted at all
};

// What becomes of the key with this macOS key code when the keyboard focus is in a terminal;
// `commandHeld` tells whether a Command key posted earlier is still down.
TerminalKey terminalKey(std::uint16_t macKeyCode, bool commandHeld);

}  // namespace fieldpilot::platform::live
