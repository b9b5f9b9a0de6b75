// Finding the element that has keyboard focus in an application.
#pragma once

#include <cstdint>
#include <optional>

#include "json.h"
#include "platform/platform.h"

namespace fieldpilot {

// The focused element found, if any, and how discovery went ("manualAccessibility", "appError",
// "systemError", "enhancedUI", "via", "keptEnhancedUI", and "treeHidden" where the platform
// says the application hides its tree).
struct FocusResult {
    std::optional<platform::Element> element;
    json::Object diagnostics;

    FocusResult() = default;
    FocusResult(std::optional<platform::Element> element, json::Object diagnostics = {})
        : element(std::move(element)), diagnostics(std::move(diagnostics)) {}
};

// Asks the application, then the system-wide element, for the focused element over 20 passes
// (2 when not patient), and falls back to a search of the focused window.
FocusResult findFocusedElement(platform::Desktop& desktop, const platform::Element& app,
                               bool patient = true);

// The first focused element that is not a container, breadth-first from `from`, visiting at most
// `budget` elements.
std::optional<platform::Element> searchFocused(platform::Desktop& desktop,
                                               const platform::Element& from, std::int64_t budget);

}  // namespace fieldpilot
