// AT-SPI roles in the terms of macOS accessibility roles and subroles.
#pragma once

#include <atspi/atspi-constants.h>

#include <optional>
#include <string_view>

namespace fieldpilot::platform::live {

// What decides a text role besides the AT-SPI role: its single- or multi-line state and whether
// it can be edited.
struct TextTraits {
    bool multiLine = false;
    bool editable = false;
};

// The AXRole an element of this role presents; "AXUnknown" for roles with no counterpart.
std::string_view axRole(AtspiRole role, TextTraits traits);

// The AXSubrole, for the roles that have one.
std::optional<std::string_view> axSubrole(AtspiRole role);

}  // namespace fieldpilot::platform::live
