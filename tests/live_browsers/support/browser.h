// A web browser on the headless desktop, showing the field page: one text area, with a
// placeholder, that holds "Draft" and the focus when the page loads, below a thread of messages
// when asked for one. The page reports its field
// in its title ("F[text]" while the field has the focus, "-[text]" when not, followed by
// "<selected text>" when some is selected), which the window
// manager shows as the window's title: that is how the tests read the truth, without
// accessibility and without fieldpilot.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/headless_desktop.h"
#include "support/x_windows.h"

namespace live_browsers {

enum class BrowserKind { Chromium, Firefox };

struct BrowserOptions {
    BrowserKind kind = BrowserKind::Chromium;
    std::vector<std::string> arguments{};    // switches added to the command line
    std::vector<std::string> environment{};  // NAME=value, added to the browser's
    int messagesBeforeField = 0;  // a message thread above the field, as in a chat application
    int fieldCharacters = 0;      // the field holds that many characters instead of "Draft"
};

// The page's state when it has just loaded. A field holding more than 100 characters is
// reported by its length, "F[10000000 characters]".
inline constexpr const char* kLoadedField = "F[Draft]";
inline constexpr const char* kPlaceholder = "Write a message";

class Browser {
  public:
    // Starts the browser with a profile of its own in the desktop's folder; returns once its
    // window shows the loaded page. Throws std::runtime_error when it does not within 60 s.
    Browser(const live_desktop::HeadlessDesktop& desktop, const BrowserOptions& options);

    pid_t pid() const { return process_.pid(); }
    Window window() const { return window_; }

    // What the page says of its field, from the window title.
    std::string field();
    // Waits up to 5 s for the page to say `expected`; answers what it says then.
    std::string waitForField(const std::string& expected);
    // The text selected in the field, from the window title; empty when none is.
    std::string selection();
    // Waits as waitForField, then gives the accessibility tree the time to catch up.
    std::string waitForSelection(const std::string& expected);
    // Brings the window to the front and waits until it is active.
    void present();
    // Extends the selection by `characters` characters leftwards (Shift+Left), as a user does.
    void selectLeftwards(int characters);
    // Loads the page again when it no longer says kLoadedField, which puts "Draft" back and the
    // focus in the field.
    void reload();

  private:
    std::string waitFor(std::string (Browser::*read)(), const std::string& expected);

    live_desktop::ChildProcess process_;
    XWindows x_;
    Window window_ = None;
};

}  // namespace live_browsers
