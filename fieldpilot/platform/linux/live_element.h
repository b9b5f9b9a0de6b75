// The handle behind an Element of the live desktop: the system-wide element, an application
// (known by its process id, its AT-SPI object looked up when asked) or one AT-SPI accessible.
#pragma once

#include <atspi/atspi.h>

#include "g_ref.h"
#include "platform/platform.h"

namespace fieldpilot::platform::live {

struct LiveElement final : ElementHandle {
    enum class Kind { SystemWide, Application, Accessible };

    LiveElement(Kind kind, Pid pid, GRef<AtspiAccessible> accessible)
        : kind(kind), pid(pid), accessible(std::move(accessible)) {}

    Kind kind;
    Pid pid;  // the owning application's process; 0 for the system-wide element
    GRef<AtspiAccessible> accessible;
};

inline Element makeElement(LiveElement::Kind kind, Pid pid, GRef<AtspiAccessible> accessible = {}) {
    return Element(std::make_shared<const LiveElement>(kind, pid, std::move(accessible)));
}

inline const LiveElement* liveElement(const Element& element) {
    return dynamic_cast<const LiveElement*>(element.handle());
}

}  // namespace fieldpilot::platform::live
