// Where the keys of a run go: the focused element of the frontmost application, asked when the
// first key is typed (after any activation) and kept for the rest of the run.
#include "live_desktop.h"
#include "live_element.h"

namespace fieldpilot::platform::live {

bool LiveDesktop::typingIntoTerminal() {
    if (typingIntoTerminal_)
        return *typingIntoTerminal_;
    typingIntoTerminal_ = false;
    const auto pid = frontmostPid();
    if (!pid)
        return false;
    const AttributeRead focus = focusedElementOf(*pid);
    const Element* element = focus.value ? focus.value->get<Element>() : nullptr;
    if (!element)
        return false;
    ApplicationCall call(session_, *pid);
    const AtspiRole role =
        atspi_accessible_get_role(liveElement(*element)->accessible.get(), call.error());
    typingIntoTerminal_ = !call.hasError() && role == ATSPI_ROLE_TERMINAL;
    return *typingIntoTerminal_;
}

}  // namespace fieldpilot::platform::live
