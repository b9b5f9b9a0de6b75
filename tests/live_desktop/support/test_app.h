// The GTK application of the live-desktop tests, started on the headless desktop and driven
// through its command lines (see app/live_test_app.cpp): it reads and arranges what the tests
// check, without going through fieldpilot.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/line_reader.h"
#include "support/private_session.h"

namespace live_desktop {

struct AppOptions {
    std::string title = "Live test";
    int fillerLabels = 0;  // labels ahead of the fields
    // Another program that speaks the same command lines (the Qt test application), with its
    // arguments; the two options above are then left to it.
    std::vector<std::string> program{};
    std::vector<std::string> environment{};  // NAME=value, in place of this process's
};

class TestApp {
  public:
    // Returns once the window is mapped and active; throws std::runtime_error when it is not
    // within the start limit.
    TestApp(const PrivateSession& desktop, const AppOptions& options = {});

    pid_t pid() const { return pid_; }
    unsigned long windowId() const { return windowId_; }

    std::string text(const std::string& field);
    void setText(const std::string& field, const std::string& text);
    void select(const std::string& field, int start, int end);
    void focus(const std::string& field);
    std::string focusedField();
    std::string clipboard();
    void setClipboard(const std::string& text);
    // Brings the window to the front and waits until it is active.
    void present();

    // Stops and continues the process, as a hung application.
    void suspend();
    void resume();

  private:
    std::string ask(const std::string& line);
    void expectOk(const std::string& line);

    ChildProcess process_;
    LineReader output_;
    pid_t pid_ = 0;
    unsigned long windowId_ = 0;
};

}  // namespace live_desktop
