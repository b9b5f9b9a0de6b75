// The AXError codes the live backend answers with, so that diagnostics read the same on Linux as
// on macOS.
#pragma once

#include "platform/platform.h"

namespace fieldpilot::platform::live {

constexpr AXStatus kAXSuccess = 0;
// The application answered but did not do what it was asked.
constexpr AXStatus kAXErrorFailure = -25200;
constexpr AXStatus kAXErrorIllegalArgument = -25201;
constexpr AXStatus kAXErrorInvalidUIElement = -25202;
constexpr AXStatus kAXErrorCannotComplete = -25204;
constexpr AXStatus kAXErrorAttributeUnsupported = -25205;
constexpr AXStatus kAXErrorNoValue = -25212;

}  // namespace fieldpilot::platform::live
