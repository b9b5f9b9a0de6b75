// The connection to the AT-SPI accessibility bus, the applications registered on it, and what
// this run has learnt about applications that stopped answering.
#pragma once

#include <atspi/atspi.h>
#include <gio/gio.h>

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "g_ref.h"
#include "platform/platform.h"

namespace fieldpilot::platform::live {

// How long one call to an application may take. libatspi's own default also allows every
// application 15 s from when this client first sees it, which for a one-shot program is every
// call of the run; that grace is turned off.
constexpr std::chrono::milliseconds kCallTimeout{1500};
// A whole text may be megabytes that the application takes seconds to put together (Firefox:
// 2 to 3.5 s for 10 MB), so reading one gets longer than other calls.
constexpr std::chrono::milliseconds kTextReadTimeout{5000};
// The time one run may spend waiting for applications, all calls together. However an
// application answers (slowly, never, with endless children), the run ends; calls past it are
// refused as if the application did not answer.
constexpr std::chrono::milliseconds kRunCallBudget{6000};

// The timeout of the call being made, in milliseconds, for the calls made over the bus directly.
int currentCallTimeoutMs();

class AccessibilitySession {
  public:
    AccessibilitySession() = default;
    ~AccessibilitySession();
    AccessibilitySession(const AccessibilitySession&) = delete;
    AccessibilitySession& operator=(const AccessibilitySession&) = delete;

    // Connects to the accessibility bus that AT_SPI_BUS_ADDRESS, the address the window system
    // publishes or the session bus's org.a11y.Bus names, never to one libatspi would launch, and
    // checks that the registry answers.
    bool connect(const std::optional<std::string>& publishedAddress);
    bool connected() const { return connected_; }

    // The AT-SPI application object of the process; null when none is registered.
    GRef<AtspiAccessible> application(Pid pid);

    bool isSilent(Pid pid) const { return silent_.contains(pid); }
    void markSilent(Pid pid) { silent_.insert(pid); }

    // What is left of kRunCallBudget; calls nested in another count once.
    std::chrono::milliseconds runBudgetLeft() const;
    void beginCall();
    void endCall();

    // Sets org.a11y.Status.IsEnabled, which asks toolkits to expose their accessibility trees.
    AXStatus enableToolkitAccessibility();

  private:
    void listApplications();

    bool connected_ = false;
    std::map<Pid, GRef<AtspiAccessible>> applications_;
    std::set<Pid> silent_;
    // The registry ran out of time once: it is not asked again in this run.
    bool registrySilent_ = false;
    std::chrono::steady_clock::duration spentInCalls_{};
    std::chrono::steady_clock::time_point outermostCallStarted_;
    int openCalls_ = 0;
};

// One AT-SPI call to an application. It is refused at once when the application already
// stopped answering in this run, or the run has spent its budget; a failure that lasted the
// whole call timeout marks the application as not answering.
class ApplicationCall {
  public:
    ApplicationCall(AccessibilitySession& session, Pid pid);
    ~ApplicationCall();
    ApplicationCall(const ApplicationCall&) = delete;
    ApplicationCall& operator=(const ApplicationCall&) = delete;

    bool refused() const { return refused_; }
    // For loops of many calls: whether the run's budget ran out since the call began.
    bool outOfRunBudget() const;
    // Allows the calls made from now on up to `timeout` each, within what is left of the budget.
    void allowUpTo(std::chrono::milliseconds timeout);
    GError** error() { return &error_; }
    bool hasError() const { return error_ != nullptr; }
    // Marks the start of the next of the calls made under this one, which ranOutOfTime measures:
    // a walk of many quick calls is no call that ran out of time.
    void startStep();
    // Some libatspi calls report no error when they time out; the time they took tells.
    bool ranOutOfTime() const;
    // Records the failure of the call and answers its status code.
    AXStatus failed();

  private:
    AccessibilitySession& session_;
    Pid pid_;
    bool refused_;
    std::chrono::milliseconds timeout_;
    std::chrono::steady_clock::time_point stepStarted_;
    GError* error_ = nullptr;
};

}  // namespace fieldpilot::platform::live
