// Questions that tests ask of a simulated desktop's saved state and log.
#pragma once

#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "json.h"

namespace fieldpilot::test {

// This desktop's log entries whose "op" is `op`, in order.
std::vector<nlohmann::json> logEntries(const nlohmann::json& desktop, std::string_view op);

// The reads (op "read") or writes (op "write") of one attribute of one element, in order.
std::vector<nlohmann::json> readsOf(const nlohmann::json& desktop, std::string_view element,
                                    std::string_view attribute);
std::vector<nlohmann::json> writesOf(const nlohmann::json& desktop, std::string_view element,
                                     std::string_view attribute);

// The virtual time of the last log entry, in seconds.
double lastLogTime(const nlohmann::json& desktop);

// A reply of the program as nlohmann JSON, for comparisons with expected literals.
nlohmann::json toNlohmann(const json::Object& reply);

}  // namespace fieldpilot::test
