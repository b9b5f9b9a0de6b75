// Element handles of the simulated desktop and the accessibility status codes it answers with.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "platform/platform.h"
#include "platform/sim/sim_state.h"

namespace fieldpilot::sim {

inline constexpr platform::AXStatus kAXErrorSuccess = 0;
inline constexpr platform::AXStatus kAXErrorIllegalArgument = -25201;
inline constexpr platform::AXStatus kAXErrorInvalidUIElement = -25202;
inline constexpr platform::AXStatus kAXErrorCannotComplete = -25204;
inline constexpr platform::AXStatus kAXErrorAttributeUnsupported = -25205;
inline constexpr platform::AXStatus kAXErrorNoValue = -25212;

inline constexpr std::string_view kSystemWideId = "system";
inline constexpr std::string_view kApplicationIdPrefix = "app:";

// What an element handle stands for, resolved once when the handle is made: a record of the
// desktop, the application element of a pid that no app lists, or an id that does not exist.
struct SimElement final : platform::ElementHandle {
    enum class Kind { Record, UnknownApplication, Missing };

    SimElement(Kind kind, std::size_t record, platform::Pid pid, std::string id)
        : kind(kind), record(record), pid(pid), id(std::move(id)) {}

    Kind kind = Kind::Missing;
    std::size_t record = 0;
    platform::Pid pid = 0;
    std::string id;
};

// "app:<pid>" for the application element of pid.
std::string applicationElementId(platform::Pid pid);
// The pid named by an id of the form "app:<pid>".
std::optional<platform::Pid> pidOfApplicationId(std::string_view id);

platform::Element makeApplicationElement(const DesktopState& state, platform::Pid pid);
// The element an id in the desktop file names: "system", "app:<pid>" or a key of `elements`.
platform::Element makeElementReference(const DesktopState& state, std::string_view id);

// The handle behind an element of this desktop; null for an empty or foreign element.
const SimElement* simElement(const platform::Element& element);

}  // namespace fieldpilot::sim
