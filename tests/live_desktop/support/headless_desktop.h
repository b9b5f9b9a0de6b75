// A private headless desktop for the live-desktop tests: an X server (Xvfb), a D-Bus session
// bus, the AT-SPI accessibility bus with its registry, and the openbox window manager, each
// started here and stopped by pid when the desktop ends. While it runs, this process's
// environment names it (DISPLAY, DBUS_SESSION_BUS_ADDRESS) and points HOME and
// XDG_RUNTIME_DIR at private folders, so that the programs the tests start use it and nothing
// of the user's; the destructor restores the environment.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/private_session.h"

namespace live_desktop {

// No X server could be started at all: the tests skip, giving the reason.
struct NoXServer : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class HeadlessDesktop : public PrivateSession {
  public:
    // Throws NoXServer when Xvfb cannot run, std::runtime_error when another part fails.
    HeadlessDesktop();
    ~HeadlessDesktop();
    HeadlessDesktop(const HeadlessDesktop&) = delete;
    HeadlessDesktop& operator=(const HeadlessDesktop&) = delete;

    const std::string& display() const { return display_; }

    // Switches the X keyboard layout (setxkbmap), e.g. "fr" or "us".
    void setKeyboardLayout(const std::string& layout);
    // Sets org.a11y.Status.IsEnabled, the desktop's "assistive technology is on" (off when the
    // desktop starts; fieldpilot turns it on).
    void setToolkitAccessibility(bool on);

  private:
    void startXServer();
    void startAccessibilityBus();
    void startWindowManager();

    std::string display_;
};

}  // namespace live_desktop
