#include "key_codes.h"

#include <array>

namespace fieldpilot::platform::live {
namespace {

// Linux input event codes (linux/input-event-codes.h) by macOS virtual key code; 0 is no key.
constexpr std::array<std::uint8_t, kMacKeyCodeCount> kEvdevCodes = [] {
    std::array<std::uint8_t, kMacKeyCodeCount> codes{};
    const std::pair<std::uint8_t, std::uint8_t> table[] = {
        // Letters, digits and punctuation of the ANSI block.
        {0, 30},
        {1, 31},
        {2, 32},
        {3, 33},
        {4, 35},
        {5, 34},
        {6, 44},
        {7, 45},
        {8, 46},
        {9, 47},
        {10, 86},
        {11, 48},
        {12, 16},
        {13, 17},
        {14, 18},
        {15, 19},
        {16, 21},
        {17, 20},
        {18, 2},
        {19, 3},
        {20, 4},
        {21, 5},
        {22, 7},
        {23, 6},
        {24, 13},
        {25, 10},
        {26, 8},
        {27, 12},
        {28, 9},
        {29, 11},
        {30, 27},
        {31, 24},
        {32, 22},
        {33, 26},
        {34, 23},
        {35, 25},
        {37, 38},
        {38, 36},
        {39, 40},
        {40, 37},
        {41, 39},
        {42, 43},
        {43, 51},
        {44, 53},
        {45, 49},
        {46, 50},
        {47, 52},
        {50, 41},
        // Return, Tab, Space, Delete (backspace), Escape.
        {36, 28},
        {48, 15},
        {49, 57},
        {51, 14},
        {53, 1},
        // Modifiers: Command (left, right) is Control; Control, Option and Shift stay themselves.
        {55, 29},
        {54, 97},
        {59, 29},
        {62, 97},
        {58, 56},
        {61, 100},
        {56, 42},
        {60, 54},
        {57, 58},
        // Keypad.
        {65, 83},
        {67, 55},
        {69, 78},
        {71, 69},
        {75, 98},
        {76, 96},
        {78, 74},
        {81, 117},
        {82, 82},
        {83, 79},
        {84, 80},
        {85, 81},
        {86, 75},
        {87, 76},
        {88, 77},
        {89, 71},
        {91, 72},
        {92, 73},
        // Function keys F1 to F20.
        {122, 59},
        {120, 60},
        {99, 61},
        {118, 62},
        {96, 63},
        {97, 64},
        {98, 65},
        {100, 66},
        {101, 67},
        {109, 68},
        {103, 87},
        {111, 88},
        {105, 183},
        {107, 184},
        {113, 185},
        {106, 186},
        {64, 187},
        {79, 188},
        {80, 189},
        {90, 190},
        // Volume, Help (Insert on PC keyboards), navigation, arrows.
        {72, 115},
        {73, 114},
        {74, 113},
        {114, 110},
        {115, 102},
        {116, 104},
        {117, 111},
        {119, 107},
        {121, 109},
        {123, 105},
        {124, 106},
        {125, 108},
        {126, 103},
        // JIS keys: Yen, underscore (Ro), keypad comma; the context menu key.
        {93, 124},
        {94, 89},
        {95, 95},
        {110, 127},
    };
    for (const auto& [mac, evdev] : table)
        codes[mac] = evdev;
    return codes;
}();

}  // namespace

std::optional<std::uint16_t> evdevCodeForMacKey(std::uint16_t macKeyCode) {
    if (macKeyCode >= kMacKeyCodeCount || kEvdevCodes[macKeyCode] == 0)
        return std::nullopt;
    return kEvdevCodes[macKeyCode];
}

}  // namespace fieldpilot::platform::live
