// How an Element of this backend holds its AXUIElement.
#pragma once

#include <ApplicationServices/ApplicationServices.h>

#include <memory>
#include <utility>

#include "cf_ref.h"
#include "platform/platform.h"

namespace fieldpilot::platform::mac {

struct MacElement final : ElementHandle {
    explicit MacElement(CFRef<AXUIElementRef> ref) : element(std::move(ref)) {}
    CFRef<AXUIElementRef> element;
};

// Takes over one reference to `element`; a null element gives the empty Element.
inline Element makeElement(CFRef<AXUIElementRef> element) {
    if (!element) {
        return Element();
    }
    return Element(std::make_shared<const MacElement>(std::move(element)));
}

// The AXUIElement behind `element`, borrowed from it; null for the empty Element.
inline AXUIElementRef axElement(const Element& element) {
    const auto* mac = dynamic_cast<const MacElement*>(element.handle());
    return mac ? mac->element.get() : nullptr;
}

}  // namespace fieldpilot::platform::mac
