// AXValue geometry (points, sizes, rectangles, ranges) and the seam's Geometry.
#pragma once

#include <ApplicationServices/ApplicationServices.h>

#include "cf_ref.h"
#include "platform/platform.h"

namespace fieldpilot::platform::mac {

// An AXValue of a type the seam does not model (an AXError value, say) is Geometry::Type::Illegal
// with no numbers.
Geometry geometryFromAXValue(AXValueRef value);

// Null when the numbers do not fit the type: the wrong count, or a range bound that is not a
// finite CFIndex.
CFRef<AXValueRef> axValueFromGeometry(const Geometry& geometry);

}  // namespace fieldpilot::platform::mac
