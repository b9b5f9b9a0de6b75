#include <memory>

#include "mac_desktop.h"

namespace fieldpilot::platform {

// macOS has one desktop, the real one; nothing in the environment chooses another.
std::unique_ptr<Desktop> openDesktop() {
    return std::make_unique<mac::MacDesktop>();
}

}  // namespace fieldpilot::platform
