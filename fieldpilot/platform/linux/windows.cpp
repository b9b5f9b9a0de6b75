// Window descriptions, as the window system gives them.
#include "live_desktop.h"

namespace fieldpilot::platform::live {

std::optional<WindowInfoList> LiveDesktop::copyWindowInfo(std::uint32_t windowNumber) {
    return windows_->windowInfo(windowNumber);
}

}  // namespace fieldpilot::platform::live
