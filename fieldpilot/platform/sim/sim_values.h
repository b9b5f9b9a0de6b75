// Attribute values of the desktop file, both ways: JSON to what the platform hands over, and the
// values the program writes back to JSON in the same encoding.
#pragma once

#include <cstddef>
#include <string>

#include "platform/platform.h"
#include "platform/sim/sim_place.h"
#include "platform/sim/sim_state.h"

namespace fieldpilot::sim {

// An attribute as listed in the file. `where` names it in the LoadError thrown for bad input.
AttributeListing decodeAttribute(const OrderedJson& json, const DesktopState& state,
                                 const Place& where);

// A value that is always there: an array item or an entry of a window description, where JSON
// null stands for the platform's null object.
platform::Value decodeValue(const OrderedJson& json, const DesktopState& state, const Place& where);

OrderedJson encodeValue(const platform::Value& value);

// Whether the value, encoded, nests arrays and objects more than `levels` deep.
bool nestsDeeperThan(const platform::Value& value, std::size_t levels);

}  // namespace fieldpilot::sim
