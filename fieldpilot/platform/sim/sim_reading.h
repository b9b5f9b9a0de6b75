// Checked reading of desktop file values: each reader names the place of a bad value in the
// LoadError it throws.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_place.h"
#include "platform/sim/sim_state.h"

namespace fieldpilot::sim {

[[noreturn]] inline void failAt(const Place& where, std::string_view problem) {
    throw LoadError(where.text() + ": " + std::string(problem));
}

inline void requireAt(bool holds, const Place& where, std::string_view what) {
    if (!holds) {
        failAt(where, "must be " + std::string(what));
    }
}

template <typename Integer>
Integer readInteger(const OrderedJson& json, const Place& where) {
    using Limits = std::numeric_limits<Integer>;
    const bool fits =
        json.is_number_unsigned()
            ? std::in_range<Integer>(json.get<std::uint64_t>())
            : json.is_number_integer() && std::in_range<Integer>(json.get<std::int64_t>());
    requireAt(fits, where,
              "an integer from " + std::to_string(Limits::min()) + " to " +
                  std::to_string(Limits::max()));
    return json.get<Integer>();
}

inline const std::string& readText(const OrderedJson& json, const Place& where) {
    requireAt(json.is_string(), where, "a string");
    return json.get_ref<const std::string&>();
}

}  // namespace fieldpilot::sim
