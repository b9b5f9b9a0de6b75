#include "accessibility_session.h"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "ax_status.h"
#include "session_bus.h"

namespace fieldpilot::platform::live {
namespace {

constexpr const char* kBusAddressVariable = "AT_SPI_BUS_ADDRESS";
constexpr int kSessionCallTimeoutMs = 1000;
// A failed call that took this much of the timeout ran into it: the application did not answer.
constexpr double kTimedOutShare = 0.9;
// libatspi files the elements that applications announce (AddAccessible) while it waits for the
// reply to another call; it would file their whole trees too, were that fetch not kept from going
// out (tree_fetch_guard.cpp). Filing checks each element's states; when states are not among the
// cached properties, that check makes a call of its own from inside the dispatch and deadlocks on
// libdbus's dispatch lock. Caching states is what keeps a run from hanging; the states of an
// announced element are then as fresh as its announcement, while focus itself is always asked of
// the application.
constexpr AtspiCache kCachedProperties = ATSPI_CACHE_DEFAULT;
// A startup grace of -1 tells libatspi to allow none.
constexpr int kNoStartupGrace = -1;

// libatspi keeps its timeout to itself; the calls made around it need the same one.
int callTimeoutMs = static_cast<int>(kCallTimeout.count());

void setCallTimeout(std::chrono::milliseconds timeout) {
    callTimeoutMs = static_cast<int>(timeout.count());
    atspi_set_timeout(callTimeoutMs, kNoStartupGrace);
}

std::optional<std::string> nonEmptyVariable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return std::nullopt;
    return std::string(value);
}

GVariant* callA11yBus(GDBusConnection* bus, const char* interface, const char* method,
                      GVariant* parameters, const GVariantType* replyType) {
    return g_dbus_connection_call_sync(bus, "org.a11y.Bus", "/org/a11y/bus", interface, method,
                                       parameters, replyType, G_DBUS_CALL_FLAGS_NO_AUTO_START,
                                       kSessionCallTimeoutMs, nullptr, nullptr);
}

std::optional<std::string> addressFromSessionBus() {
    const auto bus = openSessionBus();
    if (!bus)
        return std::nullopt;
    GVariant* reply =
        callA11yBus(bus.get(), "org.a11y.Bus", "GetAddress", nullptr, G_VARIANT_TYPE("(s)"));
    if (!reply)
        return std::nullopt;
    const gchar* address = nullptr;
    g_variant_get(reply, "(&s)", &address);
    std::optional<std::string> result;
    if (address && *address)
        result = address;
    g_variant_unref(reply);
    return result;
}

// Where the accessibility bus is. libatspi would otherwise ask a session bus it connects to by
// itself, and without DBUS_SESSION_BUS_ADDRESS that starts a new, empty session.
std::optional<std::string> accessibilityBusAddress(
    const std::optional<std::string>& publishedAddress) {
    if (auto address = nonEmptyVariable(kBusAddressVariable))
        return address;
    if (publishedAddress)
        return publishedAddress;
    return addressFromSessionBus();
}

// libatspi reports no error for a call to the registry that ran out of time (the list of
// applications comes back empty), so the time the call took tells.
bool ranOutOfTime(std::chrono::steady_clock::time_point started) {
    return std::chrono::steady_clock::now() - started >= kCallTimeout * kTimedOutShare;
}

bool registryAnswers() {
    GError* error = nullptr;
    auto started = std::chrono::steady_clock::now();
    AtspiAccessible* desktop = atspi_get_desktop(0);
    if (!desktop)
        return false;
    bool answered = !ranOutOfTime(started);
    // The cached properties must hold before anything an application announces is filed. The
    // desktop's mask is the one applications fall back on until they get their own.
    atspi_accessible_set_cache_mask(desktop, kCachedProperties);
    if (answered) {
        started = std::chrono::steady_clock::now();
        atspi_accessible_get_child_count(desktop, &error);
        answered = error == nullptr && !ranOutOfTime(started);
    }
    g_object_unref(desktop);
    g_clear_error(&error);
    return answered;
}

}  // namespace

int currentCallTimeoutMs() {
    return callTimeoutMs;
}

AccessibilitySession::~AccessibilitySession() {
    applications_.clear();
    if (connected_)
        atspi_exit();
}

bool AccessibilitySession::connect(const std::optional<std::string>& publishedAddress) {
    const auto address = accessibilityBusAddress(publishedAddress);
    if (!address)
        return false;
    setenv(kBusAddressVariable, address->c_str(), 1);
    const int initialised = atspi_init();
    if (initialised != 0 && initialised != 1)
        return false;
    setCallTimeout(kCallTimeout);
    connected_ = registryAnswers();
    return connected_;
}

void AccessibilitySession::listApplications() {
    applications_.clear();
    AtspiAccessible* desktop = atspi_get_desktop(0);
    if (!desktop)
        return;
    GError* error = nullptr;
    const auto started = std::chrono::steady_clock::now();
    const int count = atspi_accessible_get_child_count(desktop, &error);
    g_clear_error(&error);
    // A registry that stopped answering would otherwise cost a call timeout at every lookup.
    registrySilent_ = ranOutOfTime(started);
    for (int index = 0; index < count && !registrySilent_; ++index) {
        auto child = GRef<AtspiAccessible>::adopt(
            atspi_accessible_get_child_at_index(desktop, index, &error));
        g_clear_error(&error);
        if (!child)
            continue;
        atspi_accessible_set_cache_mask(child.get(), kCachedProperties);
        // The bus daemon answers this, not the application, so a hung application costs nothing.
        const guint pid = atspi_accessible_get_process_id(child.get(), &error);
        if (error) {
            g_clear_error(&error);
            continue;
        }
        applications_.emplace(static_cast<Pid>(pid), std::move(child));
    }
    g_object_unref(desktop);
}

GRef<AtspiAccessible> AccessibilitySession::application(Pid pid) {
    if (!connected_ || registrySilent_ || pid <= 0)
        return {};
    // Applications register at any time; look again for one not seen yet.
    if (!applications_.contains(pid))
        listApplications();
    const auto found = applications_.find(pid);
    return found == applications_.end() ? GRef<AtspiAccessible>{} : found->second;
}

AXStatus AccessibilitySession::enableToolkitAccessibility() {
    const auto bus = openSessionBus();
    if (!bus)
        return kAXErrorCannotComplete;
    GVariant* current =
        callA11yBus(bus.get(), "org.freedesktop.DBus.Properties", "Get",
                    g_variant_new("(ss)", "org.a11y.Status", "IsEnabled"), G_VARIANT_TYPE("(v)"));
    if (current) {
        GVariant* value = nullptr;
        g_variant_get(current, "(v)", &value);
        const bool enabled =
            g_variant_is_of_type(value, G_VARIANT_TYPE_BOOLEAN) && g_variant_get_boolean(value);
        g_variant_unref(value);
        g_variant_unref(current);
        // Writing it again would make every toolkit on the desktop re-announce itself.
        if (enabled)
            return kAXSuccess;
    }
    GVariant* reply = callA11yBus(
        bus.get(), "org.freedesktop.DBus.Properties", "Set",
        g_variant_new("(ssv)", "org.a11y.Status", "IsEnabled", g_variant_new_boolean(TRUE)),
        nullptr);
    if (!reply)
        return kAXErrorCannotComplete;
    g_variant_unref(reply);
    return kAXSuccess;
}

std::chrono::milliseconds AccessibilitySession::runBudgetLeft() const {
    auto spent = spentInCalls_;
    if (openCalls_ > 0)
        spent += std::chrono::steady_clock::now() - outermostCallStarted_;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(kRunCallBudget - spent);
    return std::max(left, std::chrono::milliseconds::zero());
}

void AccessibilitySession::beginCall() {
    if (openCalls_++ == 0)
        outermostCallStarted_ = std::chrono::steady_clock::now();
}

void AccessibilitySession::endCall() {
    if (--openCalls_ == 0)
        spentInCalls_ += std::chrono::steady_clock::now() - outermostCallStarted_;
}

ApplicationCall::ApplicationCall(AccessibilitySession& session, Pid pid)
    : session_(session),
      pid_(pid),
      refused_(session.isSilent(pid) ||
               session.runBudgetLeft() <= std::chrono::milliseconds::zero()),
      timeout_(kCallTimeout),
      stepStarted_(std::chrono::steady_clock::now()) {
    session_.beginCall();
    allowUpTo(kCallTimeout);
}

ApplicationCall::~ApplicationCall() {
    g_clear_error(&error_);
    session_.endCall();
}

void ApplicationCall::allowUpTo(std::chrono::milliseconds timeout) {
    // A timeout of 0 would mean libdbus's default of 25 s.
    timeout_ = std::clamp(timeout, std::chrono::milliseconds(1),
                          std::max(session_.runBudgetLeft(), std::chrono::milliseconds(1)));
    setCallTimeout(timeout_);
}

bool ApplicationCall::outOfRunBudget() const {
    return session_.runBudgetLeft() <= std::chrono::milliseconds::zero();
}

void ApplicationCall::startStep() {
    stepStarted_ = std::chrono::steady_clock::now();
}

bool ApplicationCall::ranOutOfTime() const {
    return std::chrono::steady_clock::now() - stepStarted_ >= timeout_ * kTimedOutShare;
}

AXStatus ApplicationCall::failed() {
    if (refused_ || outOfRunBudget())
        return kAXErrorCannotComplete;
    if (ranOutOfTime()) {
        session_.markSilent(pid_);
        return kAXErrorCannotComplete;
    }
    // An element of an application that has quit is no element any more.
    if (kill(pid_, 0) != 0 && errno == ESRCH)
        return kAXErrorInvalidUIElement;
    return kAXErrorCannotComplete;
}

}  // namespace fieldpilot::platform::live
