// Attribute values between Core Foundation objects and the seam's Value.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include "cf_ref.h"
#include "platform/platform.h"

namespace fieldpilot::platform::mac {

// Borrows `value`. CFBoolean stays a boolean (it is not a CFNumber); a CFNumber keeps its integer
// or floating kind; elements inside the result hold their own references.
Value valueFromCF(CFTypeRef value);

// The CF object to write for `value`, or null when it has none: an OtherValue, text that is not
// UTF-8, geometry whose numbers do not fit, an element of no application, or an array holding
// any of these.
CFRef<CFTypeRef> cfFromValue(const Value& value);

}  // namespace fieldpilot::platform::mac
