// Questions put to KWin as scripts: KWin tells ordinary clients nothing of its windows over D-Bus
// or Wayland, but runs a script loaded over D-Bus (org.kde.KWin /Scripting), and a script may call
// a D-Bus method. Each run loads the script from a private file, runs it, waits a bounded time for
// the script's answer to come back to our own connection, and unloads it.
#pragma once

#include <gio/gio.h>

#include <optional>
#include <string>

#include "g_ref.h"

namespace fieldpilot::platform::live {

class KWinScripting {
  public:
    // Connects to the session bus DBUS_SESSION_BUS_ADDRESS names.
    KWinScripting();
    ~KWinScripting();
    KWinScripting(const KWinScripting&) = delete;
    KWinScripting& operator=(const KWinScripting&) = delete;

    GDBusConnection* bus() const { return bus_.get(); }
    // Whether KWin is on the session bus.
    bool offered();
    // Runs the script and returns the text it hands to `answer(text)`, a function the script
    // finds defined; none when KWin refused the script or it did not answer in time.
    std::optional<std::string> run(const std::string& script);

    // Called with the script's answer.
    void answered(std::string text);

  private:
    bool listen();
    bool start(int scriptId);
    void awaitAnswer(int timeoutMs);
    GVariant* callKWin(const char* path, const char* interface, const char* method,
                       GVariant* parameters, const GVariantType* replyType, int timeoutMs);

    GRef<GDBusConnection> bus_;
    std::optional<bool> offered_;
    // Where the answer's method call is dispatched: only while we wait for it.
    GMainContext* context_ = nullptr;
    unsigned registration_ = 0;
    std::optional<std::string> answer_;
    // What the answer of the current run starts with.
    std::string answerTag_;
    int runs_ = 0;
    // KWin 5 puts a loaded script at /<id>, KWin 6 at /Scripting/Script<id>.
    bool scriptsUnderScripting_ = false;
};

}  // namespace fieldpilot::platform::live
