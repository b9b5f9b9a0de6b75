// Attribute writes: text values, focus, activation and the switches that ask applications to
// expose their accessibility trees.
#include <chrono>
#include <string>

#include "accessible_reads.h"
#include "ax_status.h"
#include "focus_choice.h"
#include "live_desktop.h"
#include "live_element.h"

namespace fieldpilot::platform::live {
namespace {

using namespace std::chrono_literals;

// How long a write that answered success may take to show in the text.
constexpr auto kWriteShowsWithin = 100ms;
constexpr auto kWriteCheckInterval = 10ms;

bool isExposureSwitch(std::string_view name) {
    return name == "AXManualAccessibility" || name == "AXEnhancedUserInterface";
}

bool holdsFocus(ApplicationCall& call, AtspiAccessible* accessible) {
    const auto states = statesOf(call, accessible);
    if (!states)
        return false;
    // An unknown role keeps the answer to the states alone; the grab that follows reports a
    // failed call.
    const AtspiRole role = atspi_accessible_get_role(accessible, nullptr);
    return focusClaim(role, hasState(states.get(), ATSPI_STATE_FOCUSED),
                      hasState(states.get(), ATSPI_STATE_FOCUSABLE)) == FocusClaim::Holds;
}

AXStatus grabFocus(ApplicationCall& call, AtspiAccessible* accessible, const Value& value) {
    const auto* focus = value.get<bool>();
    if (!focus)
        return kAXErrorIllegalArgument;
    // Focus can be given to an element, not taken from it.
    if (!*focus)
        return kAXErrorCannotComplete;
    // GTK 4 refuses every request for the focus, also for the element that already has it.
    if (holdsFocus(call, accessible))
        return kAXSuccess;
    const auto component =
        GRef<AtspiComponent>::adopt(atspi_accessible_get_component_iface(accessible));
    if (!component)
        return kAXErrorAttributeUnsupported;
    const gboolean grabbed = atspi_component_grab_focus(component.get(), call.error());
    if (call.hasError() || !grabbed)
        return call.failed();
    return kAXSuccess;
}

}  // namespace

// Through SetTextContents. Where that is ignored (Firefox), DeleteText with InsertText is ignored
// as well, so there is no second route to try. An application may answer success and keep its
// text, so the text is read back, and a write that changed nothing is kAXErrorFailure. A password
// field shows dots whatever it holds: its answer is all there is.
AXStatus LiveDesktop::writeText(ApplicationCall& call, const LiveElement& element,
                                const Value& value) {
    const auto* text = value.get<std::string>();
    if (!text)
        return kAXErrorIllegalArgument;
    AtspiAccessible* accessible = element.accessible.get();
    const auto editable =
        GRef<AtspiEditableText>::adopt(atspi_accessible_get_editable_text_iface(accessible));
    if (!editable)
        return kAXErrorAttributeUnsupported;
    const auto readable = GRef<AtspiText>::adopt(atspi_accessible_get_text_iface(accessible));
    const bool verifiable =
        readable && atspi_accessible_get_role(accessible, nullptr) != ATSPI_ROLE_PASSWORD_TEXT;
    const TextQuirks quirks = textQuirksOf(element.pid);
    // Firefox's first empty answer would make any read-back look like a change: wholeText asks
    // again when a toolkit's first answer may be empty.
    const auto before = verifiable ? wholeText(call, accessible, quirks) : std::nullopt;
    const gboolean written =
        atspi_editable_text_set_text_contents(editable.get(), text->c_str(), call.error());
    if (call.hasError() || !written)
        return call.failed();
    if (!before || *before == *text || textChanges(call, accessible, quirks, *before))
        return kAXSuccess;
    return kAXErrorFailure;
}

bool LiveDesktop::textChanges(ApplicationCall& call, AtspiAccessible* accessible,
                              const TextQuirks& quirks, const std::string& before) {
    const Micros deadline = now() + kWriteShowsWithin;
    while (true) {
        const auto after = wholeText(call, accessible, quirks);
        if (!after || *after != before)
            return true;
        if (now() >= deadline)
            return false;
        sleepFor(kWriteCheckInterval);
    }
}

AXStatus LiveDesktop::setAttributeValue(const Element& element, std::string_view name,
                                        const Value& value) {
    const LiveElement* live = liveElement(element);
    if (!live)
        return kAXErrorIllegalArgument;
    if (live->kind == LiveElement::Kind::Application) {
        const auto* on = value.get<bool>();
        if (!on)
            return kAXErrorIllegalArgument;
        if (name == "AXFrontmost")
            return *on && activateWindowsOf(live->pid) ? kAXSuccess : kAXErrorCannotComplete;
        // The desktop's switch is never turned off for one application.
        if (isExposureSwitch(name)) {
            if (!*on)
                return kAXErrorCannotComplete;
            const AXStatus status = session_.enableToolkitAccessibility();
            askToExposeTree(live->pid);
            return status;
        }
        return kAXErrorAttributeUnsupported;
    }
    if (live->kind != LiveElement::Kind::Accessible)
        return kAXErrorAttributeUnsupported;

    ApplicationCall call(session_, live->pid);
    if (call.refused())
        return call.failed();
    if (name == "AXValue")
        return writeText(call, *live, value);
    if (name == "AXFocused")
        return grabFocus(call, live->accessible.get(), value);
    return kAXErrorAttributeUnsupported;
}

AXStatus LiveDesktop::isAttributeSettable(const Element& element, std::string_view name,
                                          bool& settable) {
    const LiveElement* live = liveElement(element);
    if (!live)
        return kAXErrorIllegalArgument;
    if (live->kind == LiveElement::Kind::Application) {
        settable = name == "AXFrontmost" || isExposureSwitch(name);
        return kAXSuccess;
    }
    if (live->kind != LiveElement::Kind::Accessible) {
        settable = false;
        return kAXSuccess;
    }
    ApplicationCall call(session_, live->pid);
    if (call.refused())
        return call.failed();
    AtspiAccessible* accessible = live->accessible.get();
    const auto states = statesOf(call, accessible);
    if (!states)
        return call.failed();
    if (name == "AXValue") {
        const auto editable =
            GRef<AtspiEditableText>::adopt(atspi_accessible_get_editable_text_iface(accessible));
        settable =
            editable && hasState(states.get(), ATSPI_STATE_EDITABLE) && takesTextWrites(live->pid);
    } else if (name == "AXFocused") {
        settable = hasState(states.get(), ATSPI_STATE_FOCUSABLE);
    } else {
        settable = false;
    }
    return kAXSuccess;
}

}  // namespace fieldpilot::platform::live
