// Attribute reads: the system-wide element, applications and AT-SPI accessibles.
#include <array>
#include <memory>
#include <string>
#include <unordered_set>

#include "accessible_reads.h"
#include "ax_status.h"
#include "caret_focus.h"
#include "focus_choice.h"
#include "live_desktop.h"
#include "live_element.h"
#include "role_table.h"

namespace fieldpilot::platform::live {
namespace {

// How many elements the focus search examines when an application has no Collection interface.
constexpr int kFocusWalkLimit = 2000;
constexpr gint kFirstClaimant = 1;
// Toolkits that give the focused state to more than one element give it to a few.
constexpr gint kFocusCandidates = 4;

constexpr std::array<std::string_view, 4> kTextAttributes = {
    "AXValue", "AXPlaceholderValue", "AXSelectedText", "AXSelectedTextRange"};

bool isTextAttribute(std::string_view name) {
    for (const auto attribute : kTextAttributes) {
        if (attribute == name)
            return true;
    }
    return false;
}

AttributeRead found(Value value) {
    return {kAXSuccess, std::move(value)};
}

AttributeRead failure(AXStatus status) {
    return {status, std::nullopt};
}

Array elementsOf(std::vector<GRef<AtspiAccessible>> accessibles, Pid pid) {
    Array elements;
    for (auto& accessible : accessibles)
        elements.emplace_back(
            makeElement(LiveElement::Kind::Accessible, pid, std::move(accessible)));
    return elements;
}

AttributeRead roleOf(ApplicationCall& call, AtspiAccessible* accessible, bool subrole) {
    const AtspiRole role = atspi_accessible_get_role(accessible, call.error());
    if (call.hasError())
        return failure(call.failed());
    if (subrole) {
        const auto name = axSubrole(role);
        return name ? found(std::string(*name)) : failure(kAXErrorNoValue);
    }
    const auto states = statesOf(call, accessible);
    if (!states)
        return failure(call.failed());
    const TextTraits traits{hasState(states.get(), ATSPI_STATE_MULTI_LINE),
                            hasState(states.get(), ATSPI_STATE_EDITABLE)};
    return found(std::string(axRole(role, traits)));
}

AttributeRead stateOf(ApplicationCall& call, AtspiAccessible* accessible, AtspiStateType state) {
    const auto states = statesOf(call, accessible);
    if (!states)
        return failure(call.failed());
    return found(hasState(states.get(), state));
}

AttributeRead extentsOf(ApplicationCall& call, AtspiAccessible* accessible, bool position) {
    const auto component =
        GRef<AtspiComponent>::adopt(atspi_accessible_get_component_iface(accessible));
    if (!component)
        return failure(kAXErrorAttributeUnsupported);
    std::unique_ptr<AtspiRect, GFreeDeleter> rect(
        atspi_component_get_extents(component.get(), ATSPI_COORD_TYPE_SCREEN, call.error()));
    if (call.hasError() || !rect)
        return failure(call.failed());
    if (position) {
        return found(Geometry{Geometry::Type::Point,
                              {static_cast<double>(rect->x), static_cast<double>(rect->y)}});
    }
    return found(Geometry{Geometry::Type::Size,
                          {static_cast<double>(rect->width), static_cast<double>(rect->height)}});
}

AttributeRead titleOf(ApplicationCall& call, AtspiAccessible* accessible) {
    auto name = nameOf(accessible);
    if (!name)
        return failure(call.failed());
    return found(std::move(*name));
}

// Up to `count` elements of the collection, in canonical order, that claim the focus; nullopt when
// the match fails. The application stops at the last one it needs, which spares it a walk over
// the rest of a large window (a spreadsheet's cells, a long page).
std::optional<std::vector<GRef<AtspiAccessible>>> focusClaimants(ApplicationCall& call,
                                                                 AtspiCollection* collection,
                                                                 gint count) {
    auto states = GRef<AtspiStateSet>::adopt(atspi_state_set_new(nullptr));
    atspi_state_set_add(states.get(), ATSPI_STATE_FOCUSED);
    auto rule = GRef<AtspiMatchRule>::adopt(atspi_match_rule_new(
        states.get(), ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_NONE, nullptr,
        ATSPI_Collection_MATCH_NONE, nullptr, ATSPI_Collection_MATCH_NONE, FALSE));
    return collectionMatches(call, collection, rule.get(), count);
}

// The element within `window` that has the focus, found by the application itself through
// Collection; nullopt when it has no Collection interface or a call fails, a null reference when
// nothing claims the focus. Only when the first claimant is doubtful are a few more asked for.
std::optional<GRef<AtspiAccessible>> focusedByCollection(ApplicationCall& call,
                                                         AtspiAccessible* window) {
    const auto collection =
        GRef<AtspiCollection>::adopt(atspi_accessible_get_collection_iface(window));
    if (!collection)
        return std::nullopt;
    std::vector<GRef<AtspiAccessible>> claimants;
    for (const gint count : {kFirstClaimant, kFocusCandidates}) {
        auto found = focusClaimants(call, collection.get(), count);
        if (!found)
            return std::nullopt;
        claimants = std::move(*found);
        for (const auto& claimant : claimants) {
            const auto states = statesOf(call, claimant.get());
            const auto claim = states ? claimOf(call, claimant.get(), states.get()) : std::nullopt;
            if (!claim)
                return std::nullopt;
            if (*claim == FocusClaim::Holds)
                return claimant;
        }
        // Fewer than asked for: there are no more to ask for.
        if (std::ssize(claimants) < count)
            break;
    }
    return claimants.empty() ? GRef<AtspiAccessible>{} : claimants.front();
}

// Breadth-first over at most kFocusWalkLimit elements: the first element that holds the focus,
// else the first that claims it at all (focus_choice.h). libatspi gives one object per element, so
// an element met again (an application that answers with a cycle) is skipped by its address.
std::optional<GRef<AtspiAccessible>> focusedByWalk(ApplicationCall& call, AtspiAccessible* window,
                                                   bool& failed) {
    std::vector<GRef<AtspiAccessible>> queue{GRef<AtspiAccessible>::retain(window)};
    std::unordered_set<const AtspiAccessible*> queued{window};
    GRef<AtspiAccessible> doubtful;
    for (std::size_t next = 0; next < queue.size() && next < kFocusWalkLimit; ++next) {
        AtspiAccessible* element = queue[next].get();
        const auto states = statesOf(call, element);
        const auto claim = !states || call.outOfRunBudget() ? std::nullopt
                           : next > 0                       ? claimOf(call, element, states.get())
                                                            : FocusClaim::Absent;
        if (!claim) {
            failed = true;
            return std::nullopt;
        }
        if (*claim == FocusClaim::Holds)
            return queue[next];
        if (*claim == FocusClaim::Doubtful && !doubtful)
            doubtful = queue[next];
        auto children = childrenOf(call, element, failed);
        if (failed)
            return std::nullopt;
        for (auto& child : children) {
            if (queue.size() < kFocusWalkLimit && queued.insert(child.get()).second)
                queue.push_back(std::move(child));
        }
    }
    if (!doubtful)
        return std::nullopt;
    return doubtful;
}

}  // namespace

AttributeRead LiveDesktop::copyAttributeValue(const Element& element, std::string_view name) {
    const LiveElement* live = liveElement(element);
    if (!live)
        return failure(kAXErrorIllegalArgument);
    switch (live->kind) {
        case LiveElement::Kind::SystemWide:
            return systemWideAttribute(name);
        case LiveElement::Kind::Application:
            return applicationAttribute(live->pid, name);
        case LiveElement::Kind::Accessible:
            return accessibleAttribute(*live, name);
    }
    return failure(kAXErrorIllegalArgument);
}

AttributeRead LiveDesktop::systemWideAttribute(std::string_view name) {
    if (name == "AXRole")
        return found("AXSystemWide");
    if (name != "AXFocusedApplication" && name != "AXFocusedUIElement")
        return failure(kAXErrorAttributeUnsupported);
    const auto pid = frontmostPid();
    if (!pid)
        return failure(kAXErrorNoValue);
    if (name == "AXFocusedApplication")
        return found(createApplicationElement(*pid));
    return focusedElementOf(*pid);
}

AttributeRead LiveDesktop::applicationAttribute(Pid pid, std::string_view name) {
    if (name == "AXRole")
        return found("AXApplication");
    if (name == "AXTitle")
        return found(describe(pid).localizedName.value_or(""));
    if (name == "AXFrontmost")
        return found(frontmostPid() == pid);
    if (name == "AXChildren" || name == "AXWindows")
        return frames(pid, false, false);
    if (name == "AXFocusedWindow")
        return frames(pid, true, true);
    if (name == "AXMainWindow")
        return frames(pid, false, true);
    if (name == "AXFocusedUIElement")
        return focusedElementOf(pid);
    return failure(kAXErrorAttributeUnsupported);
}

// The application's top-level windows: all, the active one, or the first.
AttributeRead LiveDesktop::frames(Pid pid, bool onlyActive, bool first) {
    const auto application = session_.application(pid);
    if (!application)
        return failure(kAXErrorCannotComplete);
    ApplicationCall call(session_, pid);
    if (call.refused())
        return failure(call.failed());
    bool failed = false;
    auto windows = childrenOf(call, application.get(), failed);
    if (failed)
        return failure(call.failed());
    std::vector<GRef<AtspiAccessible>> chosen;
    for (auto& window : windows) {
        if (onlyActive) {
            const auto states = statesOf(call, window.get());
            if (!states)
                return failure(call.failed());
            if (!hasState(states.get(), ATSPI_STATE_ACTIVE))
                continue;
        }
        chosen.push_back(std::move(window));
        if (first)
            break;
    }
    if (!first)
        return found(elementsOf(std::move(chosen), pid));
    if (chosen.empty())
        return failure(kAXErrorNoValue);
    return found(makeElement(LiveElement::Kind::Accessible, pid, std::move(chosen.front())));
}

// Only the active window of an application has a focused element in AT-SPI.
AttributeRead LiveDesktop::focusedElementOf(Pid pid) {
    const AttributeRead window = frames(pid, true, true);
    const Element* windowElement = window.value ? window.value->get<Element>() : nullptr;
    if (!windowElement)
        return window;
    AtspiAccessible* windowAccessible = liveElement(*windowElement)->accessible.get();

    std::optional<GRef<AtspiAccessible>> focused;
    if (showsWebPages(pid)) {
        ApplicationCall caret(session_, pid);
        focused = focusedByCaret(caret, windowAccessible);
        // A browser that did not answer would not answer the search below either.
        if (!focused && caret.ranOutOfTime())
            return failure(caret.failed());
    }
    ApplicationCall call(session_, pid);
    if (!focused)
        focused = focusedByCollection(call, windowAccessible);
    if (!focused) {
        if (call.ranOutOfTime())
            return failure(call.failed());
        ApplicationCall walk(session_, pid);
        bool failed = false;
        focused = focusedByWalk(walk, windowAccessible, failed);
        if (failed)
            return failure(walk.failed());
    }
    if (!focused || !*focused)
        return failure(kAXErrorNoValue);
    return found(makeElement(LiveElement::Kind::Accessible, pid, std::move(*focused)));
}

AttributeRead LiveDesktop::accessibleAttribute(const LiveElement& element, std::string_view name) {
    AtspiAccessible* accessible = element.accessible.get();
    ApplicationCall call(session_, element.pid);
    if (call.refused())
        return failure(call.failed());
    if (name == "AXRole" || name == "AXSubrole")
        return roleOf(call, accessible, name == "AXSubrole");
    if (name == "AXTitle")
        return titleOf(call, accessible);
    if (name == "AXFocused")
        return stateOf(call, accessible, ATSPI_STATE_FOCUSED);
    if (name == "AXEnabled")
        return stateOf(call, accessible, ATSPI_STATE_SENSITIVE);
    if (name == "AXPosition" || name == "AXSize") {
        if (!windows_->accessibleExtentsAreOnScreen())
            return windowSystemExtents(element, name == "AXPosition");
        return extentsOf(call, accessible, name == "AXPosition");
    }
    if (name == "AXChildren") {
        bool failed = false;
        auto children = childrenOf(call, accessible, failed);
        if (failed)
            return failure(call.failed());
        return found(elementsOf(std::move(children), element.pid));
    }
    if (isTextAttribute(name))
        return textAttribute(call, accessible, name, textQuirksOf(element.pid));
    return failure(kAXErrorAttributeUnsupported);
}

}  // namespace fieldpilot::platform::live
