#include "focus_discovery.h"

#include <algorithm>
#include <array>
#include <deque>
#include <string_view>

#include "element_access.h"

namespace fieldpilot {

namespace {

constexpr int kPatientPasses = 20;
constexpr int kImpatientPasses = 2;
// Enhanced UI is switched on after this pass (counting from 0) has failed.
constexpr int kEnhancedUIPass = 1;
constexpr platform::Micros kPassPause{150000};
constexpr std::int64_t kTreeSearchBudget = 4000;

// Elements that may report themselves focused while the real focus is inside them.
constexpr std::array<std::string_view, 8> kContainerRoles = {
    "AXWindow",     "AXWebArea",  "AXGroup",   "AXScrollArea",
    "AXSplitGroup", "AXTabGroup", "AXToolbar", "AXApplication"};

bool isContainerRole(std::string_view role) {
    return std::find(kContainerRoles.begin(), kContainerRoles.end(), role) != kContainerRoles.end();
}

struct DirectRead {
    std::optional<Element> element;
    AXStatus status = 0;
};

// One "AXFocusedUIElement" question. A value that is not an element cannot be used as one, so
// it is treated like a read that held no element.
DirectRead askFocusedUIElement(Desktop& desktop, const Element& element) {
    const AttributeRead read = copyAttribute(desktop, element, "AXFocusedUIElement");
    DirectRead result{std::nullopt, read.status};
    if (read.value) {
        if (const auto* found = read.value->get<Element>())
            result.element = *found;
    }
    return result;
}

DirectRead askSystemWide(Desktop& desktop) {
    const Element systemWide = desktop.createSystemWideElement();
    return askFocusedUIElement(desktop, systemWide);
}

FocusResult directHit(Element element, std::string_view route, bool enhancedUISet,
                      json::Object diagnostics) {
    diagnostics.set("via", route);
    // The application answered only with enhanced UI on, so it stays on.
    if (enhancedUISet)
        diagnostics.set("keptEnhancedUI", true);
    return FocusResult(std::move(element), std::move(diagnostics));
}

}  // namespace

FocusResult findFocusedElement(Desktop& desktop, const Element& app, bool patient) {
    json::Object diagnostics;
    diagnostics.set("manualAccessibility", setFlag(desktop, app, "AXManualAccessibility", true));

    const int passes = patient ? kPatientPasses : kImpatientPasses;
    bool enhancedUISet = false;
    for (int pass = 0; pass < passes; ++pass) {
        const DirectRead fromApp = askFocusedUIElement(desktop, app);
        if (fromApp.element)
            return directHit(*fromApp.element, "app", enhancedUISet, diagnostics);
        // The system-wide answer is used as it is, even when it belongs to another application.
        const DirectRead fromSystem = askSystemWide(desktop);
        if (fromSystem.element)
            return directHit(*fromSystem.element, "system", enhancedUISet, diagnostics);

        diagnostics.set("appError", fromApp.status);
        diagnostics.set("systemError", fromSystem.status);
        if (pass == kEnhancedUIPass) {
            diagnostics.set("enhancedUI", setFlag(desktop, app, "AXEnhancedUserInterface", true));
            enhancedUISet = true;
        }
        desktop.sleepFor(kPassPause);
    }

    std::optional<Element> found;
    if (const auto window = focusedWindow(desktop, app)) {
        found = searchFocused(desktop, *window, kTreeSearchBudget);
        diagnostics.set("via", found ? "tree" : "none");
    }
    if (enhancedUISet)
        setFlag(desktop, app, "AXEnhancedUserInterface", false);
    // Tells the host that no retry can help: the application has to be started anew.
    if (!found && desktop.hidesAccessibilityTree(app))
        diagnostics.set("treeHidden", true);
    return FocusResult(std::move(found), std::move(diagnostics));
}

std::optional<Element> searchFocused(Desktop& desktop, const Element& from, std::int64_t budget) {
    std::deque<Element> queue{from};
    std::int64_t remaining = budget < 0 ? 0 : budget;
    while (!queue.empty() && remaining > 0) {
        const Element element = std::move(queue.front());
        queue.pop_front();
        --remaining;

        const std::string role = string(desktop, element, "AXRole").value_or("");
        if (boolean(desktop, element, "AXFocused") && !isContainerRole(role))
            return element;
        if (const auto children = attribute(desktop, element, "AXChildren")) {
            if (auto elements = elementArray(*children)) {
                // What is queued beyond the remaining budget would never be examined.
                for (std::size_t i = 0; i < elements->size() && std::ssize(queue) < remaining; ++i)
                    queue.push_back(std::move((*elements)[i]));
            }
        }
    }
    return std::nullopt;
}

}  // namespace fieldpilot
