// Runs fieldpilot as the host does on a live desktop: no FIELDPILOT_DESKTOP, the display and the
// session bus of the headless desktop in its environment. A run that has not ended after 30 s is
// killed, so a hang fails the test rather than stalling it.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/private_session.h"

namespace live_desktop {

struct FieldpilotResult {
    std::string standardOutput;
    std::string standardError;
    int exitStatus = -1;  // -1 when a signal ended it
    bool killedAsHung = false;
    nlohmann::json reply;  // the output parsed, null when it is not one JSON value
};

FieldpilotResult runFieldpilot(const PrivateSession& desktop, const std::string& executable,
                               const std::vector<std::string>& arguments,
                               const std::string& standardInput = "");

}  // namespace live_desktop
