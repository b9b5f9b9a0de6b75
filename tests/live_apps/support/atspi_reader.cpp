#include "support/atspi_reader.h"

#include <atspi/atspi.h>

#include <deque>

namespace live_apps {
namespace {

constexpr int kElementLimit = 5000;

// A reference this reader owns, released when it goes.
struct Held {
    explicit Held(AtspiAccessible* accessible) : accessible(accessible) {}
    Held(Held&& other) noexcept : accessible(other.accessible) { other.accessible = nullptr; }
    Held(const Held&) = delete;
    ~Held() {
        if (accessible)
            g_object_unref(accessible);
    }
    AtspiAccessible* accessible;
};

bool holdsTypedKeys(AtspiAccessible* accessible) {
    AtspiStateSet* states = atspi_accessible_get_state_set(accessible);
    const bool holds = states && atspi_state_set_contains(states, ATSPI_STATE_FOCUSED) &&
                       atspi_state_set_contains(states, ATSPI_STATE_FOCUSABLE) &&
                       atspi_state_set_contains(states, ATSPI_STATE_EDITABLE);
    if (states)
        g_object_unref(states);
    return holds;
}

std::optional<std::string> textOf(AtspiAccessible* accessible) {
    AtspiText* text = atspi_accessible_get_text_iface(accessible);
    if (!text)
        return std::nullopt;
    gchar* content = atspi_text_get_text(text, 0, -1, nullptr);
    g_object_unref(text);
    if (!content)
        return std::nullopt;
    std::string result(content);
    g_free(content);
    return result;
}

std::optional<Held> applicationOf(pid_t pid) {
    Held desktop(atspi_get_desktop(0));
    const int count = atspi_accessible_get_child_count(desktop.accessible, nullptr);
    for (int index = 0; index < count; ++index) {
        Held application(atspi_accessible_get_child_at_index(desktop.accessible, index, nullptr));
        if (application.accessible &&
            atspi_accessible_get_process_id(application.accessible, nullptr) ==
                static_cast<guint>(pid))
            return application;
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> focusedEditableText(pid_t pid) {
    static const int initialised = atspi_init();
    (void)initialised;
    auto application = applicationOf(pid);
    if (!application)
        return std::nullopt;
    std::deque<Held> queue;
    queue.push_back(std::move(*application));
    for (int visited = 0; !queue.empty() && visited < kElementLimit; ++visited) {
        Held element = std::move(queue.front());
        queue.pop_front();
        if (holdsTypedKeys(element.accessible))
            return textOf(element.accessible);
        const int count = atspi_accessible_get_child_count(element.accessible, nullptr);
        for (int index = 0; index < count; ++index) {
            if (auto* child =
                    atspi_accessible_get_child_at_index(element.accessible, index, nullptr))
                queue.emplace_back(child);
        }
    }
    return std::nullopt;
}

}  // namespace live_apps
