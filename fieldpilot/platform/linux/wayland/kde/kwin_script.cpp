#include "wayland/kde/kwin_script.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "session_bus.h"

namespace fieldpilot::platform::live {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kService = "org.kde.KWin";
constexpr const char* kScriptingInterface = "org.kde.kwin.Scripting";
constexpr const char* kScriptInterface = "org.kde.kwin.Script";
constexpr const char* kAnswerPath = "/org/fieldpilot/KWinScript";
constexpr const char* kAnswerInterface = "org.fieldpilot.KWinScript";
constexpr const char* kAnswerIntrospection =
    "<node><interface name='org.fieldpilot.KWinScript'>"
    "<method name='answer'><arg type='s' direction='in'/></method>"
    "</interface></node>";
// KWin answers a loaded script within milliseconds when it is idle: these bound a run when it is
// busy or hangs (a load, two tries of run, the answer), so that a question costs at most 0.65 s.
constexpr int kCallTimeoutMs = 150;
constexpr int kAnswerTimeoutMs = 200;
constexpr int kNoScript = -1;

void onAnswerCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                  GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data) {
    if (std::string_view(method) == "answer" &&
        g_variant_is_of_type(parameters, G_VARIANT_TYPE("(s)"))) {
        const gchar* text = nullptr;
        g_variant_get(parameters, "(&s)", &text);
        static_cast<KWinScripting*>(data)->answered(text);
    }
    g_dbus_method_invocation_return_value(invocation, nullptr);
}

constexpr GDBusInterfaceVTable kAnswerVTable{onAnswerCall, nullptr, nullptr, {}};

gboolean onTimeout(gpointer expired) {
    *static_cast<bool*>(expired) = true;
    return G_SOURCE_REMOVE;
}

// A file only we can read or write (mkstemps creates it with mode 600), removed when it ends.
class PrivateScriptFile {
  public:
    explicit PrivateScriptFile(const std::string& text)
        : path_((std::filesystem::temp_directory_path() / "fieldpilot-kwin-XXXXXX.js").string()) {
        const int file = mkstemps(path_.data(), 3);
        if (file < 0) {
            path_.clear();
            return;
        }
        const bool written =
            write(file, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        close(file);
        if (!written)
            remove();
    }
    ~PrivateScriptFile() { remove(); }
    PrivateScriptFile(const PrivateScriptFile&) = delete;
    PrivateScriptFile& operator=(const PrivateScriptFile&) = delete;

    // Empty when the file could not be written.
    const std::string& path() const { return path_; }

  private:
    void remove() {
        if (!path_.empty())
            std::remove(path_.c_str());
        path_.clear();
    }
    std::string path_;
};

}  // namespace

KWinScripting::KWinScripting() : bus_(openSessionBus()) {}

KWinScripting::~KWinScripting() {
    if (bus_)
        g_dbus_connection_flush_sync(bus_.get(), nullptr, nullptr);
    if (registration_)
        g_dbus_connection_unregister_object(bus_.get(), registration_);
    if (context_)
        g_main_context_unref(context_);
}

bool KWinScripting::offered() {
    if (!offered_)
        offered_ = nameHasOwner(bus_.get(), kService, kCallTimeoutMs);
    return *offered_;
}

// An answer that comes too late for its run carries another run's tag and is dropped.
void KWinScripting::answered(std::string text) {
    if (text.starts_with(answerTag_))
        answer_ = text.substr(answerTag_.size());
}

// The object is registered with our own main context as the thread's default, so its calls
// wait there until we iterate it.
bool KWinScripting::listen() {
    if (registration_)
        return true;
    if (!bus_)
        return false;
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kAnswerIntrospection, nullptr);
    if (!node)
        return false;
    context_ = g_main_context_new();
    g_main_context_push_thread_default(context_);
    registration_ = g_dbus_connection_register_object(bus_.get(), kAnswerPath, node->interfaces[0],
                                                      &kAnswerVTable, this, nullptr, nullptr);
    g_main_context_pop_thread_default(context_);
    g_dbus_node_info_unref(node);
    return registration_ != 0;
}

GVariant* KWinScripting::callKWin(const char* path, const char* interface, const char* method,
                                  GVariant* parameters, const GVariantType* replyType,
                                  int timeoutMs) {
    return g_dbus_connection_call_sync(bus_.get(), kService, path, interface, method, parameters,
                                       replyType, G_DBUS_CALL_FLAGS_NO_AUTO_START, timeoutMs,
                                       nullptr, nullptr);
}

bool KWinScripting::start(int scriptId) {
    const std::string kwin5Path = "/" + std::to_string(scriptId);
    const std::string kwin6Path = "/Scripting/Script" + std::to_string(scriptId);
    for (const bool underScripting : {scriptsUnderScripting_, !scriptsUnderScripting_}) {
        const std::string& path = underScripting ? kwin6Path : kwin5Path;
        if (GVariant* reply =
                callKWin(path.c_str(), kScriptInterface, "run", nullptr, nullptr, kCallTimeoutMs)) {
            g_variant_unref(reply);
            scriptsUnderScripting_ = underScripting;
            return true;
        }
    }
    return false;
}

void KWinScripting::awaitAnswer(int timeoutMs) {
    bool expired = false;
    GSource* timeout = g_timeout_source_new(static_cast<guint>(timeoutMs));
    g_source_set_callback(timeout, onTimeout, &expired, nullptr);
    g_source_attach(timeout, context_);
    while (!answer_ && !expired)
        g_main_context_iteration(context_, TRUE);
    g_source_destroy(timeout);
    g_source_unref(timeout);
}

std::optional<std::string> KWinScripting::run(const std::string& script) {
    if (!offered() || !listen())
        return std::nullopt;
    const std::string pluginName =
        "fieldpilot-" + std::to_string(getpid()) + "-" + std::to_string(++runs_);
    answerTag_ = std::to_string(runs_) + ":";
    const std::string preamble = std::string("function answer(text) { callDBus(\"") +
                                 g_dbus_connection_get_unique_name(bus_.get()) + "\", \"" +
                                 kAnswerPath + "\", \"" + kAnswerInterface + "\", \"answer\", \"" +
                                 answerTag_ + "\" + String(text)); }\n";
    // KWin reads the file when the script runs: it stays until the answer came or the wait ended.
    const PrivateScriptFile file(preamble + script);
    if (file.path().empty())
        return std::nullopt;
    GVariant* loaded = callKWin("/Scripting", kScriptingInterface, "loadScript",
                                g_variant_new("(ss)", file.path().c_str(), pluginName.c_str()),
                                G_VARIANT_TYPE("(i)"), kCallTimeoutMs);
    int scriptId = kNoScript;
    if (loaded) {
        g_variant_get(loaded, "(i)", &scriptId);
        g_variant_unref(loaded);
    }
    answer_.reset();
    if (scriptId != kNoScript && start(scriptId))
        awaitAnswer(kAnswerTimeoutMs);
    // Also after a load that did not answer in time: KWin may still load the script, and takes
    // the calls in order. Nothing waits for the reply; the destructor sees the call sent.
    g_dbus_connection_call(bus_.get(), kService, "/Scripting", kScriptingInterface, "unloadScript",
                           g_variant_new("(s)", pluginName.c_str()), nullptr,
                           G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, nullptr,
                           nullptr);
    return std::exchange(answer_, std::nullopt);
}

}  // namespace fieldpilot::platform::live
