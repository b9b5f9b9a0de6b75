// What particular toolkits need from the live backend. Chromium (every Chromium-based browser and
// Electron application) joins the accessibility bus only when assistive technology is on as it
// starts, and even then builds its tree only for a client that has asked one of its objects for
// its attributes. Firefox answers every text write with success and changes nothing. Text offsets
// count different units in each.
#include <chrono>
#include <string>

#include "accessible_reads.h"
#include "live_desktop.h"
#include "live_element.h"

namespace fieldpilot::platform::live {
namespace {

constexpr std::string_view kChromiumToolkit = "Chromium";
constexpr std::string_view kGeckoToolkit = "Gecko";
// Chromium and every application built on it carry this resource file beside the executable.
constexpr std::string_view kChromiumResource = "/chrome_100_percent.pak";
// Chromium answers the question at once and fills its windows within a few milliseconds, but
// reports the page itself as focused until its focus has moved into the page's field (measured:
// 4 to 8 ms after the question).
constexpr std::chrono::milliseconds kTreeSettles{100};

// True when every window answers that it has no children; an application that does not answer
// may be hung rather than hiding anything.
bool windowsShowNothing(ApplicationCall& call, AtspiAccessible* application) {
    bool failed = false;
    const auto windows = childrenOf(call, application, failed);
    for (const auto& window : windows) {
        const bool empty = childrenOf(call, window.get(), failed).empty();
        if (failed || !empty)
            return false;
    }
    return !failed;
}

}  // namespace

// The toolkit name the application gives; empty when it is not on the accessibility bus or does
// not answer. Asked once a run.
std::string LiveDesktop::toolkitOf(Pid pid) {
    if (const auto known = toolkits_.find(pid); known != toolkits_.end())
        return known->second;
    std::string toolkit;
    if (const auto application = session_.application(pid)) {
        ApplicationCall call(session_, pid);
        if (!call.refused()) {
            if (auto name = toolkitNameOf(application.get()))
                toolkit = std::move(*name);
            else
                call.failed();
        }
    }
    toolkits_.emplace(pid, toolkit);
    return toolkit;
}

// Screen readers ask every application for its attributes first, and Chromium takes that
// question as the sign to build its tree; until then its windows have no children. The question
// changes nothing in other toolkits.
void LiveDesktop::askToExposeTree(Pid pid) {
    const auto application = session_.application(pid);
    if (!application)
        return;
    ApplicationCall call(session_, pid);
    if (call.refused())
        return;
    const bool building =
        toolkitOf(pid) == kChromiumToolkit && windowsShowNothing(call, application.get());
    GHashTable* attributes = atspi_accessible_get_attributes(application.get(), call.error());
    if (call.hasError()) {
        call.failed();
        return;
    }
    if (attributes)
        g_hash_table_unref(attributes);
    if (building)
        sleepFor(kTreeSettles);
}

// A Chromium started before assistive technology was on is not on the accessibility bus at all,
// so its executable tells what it is built on.
bool LiveDesktop::hidesAccessibilityTree(const Element& application) {
    const LiveElement* live = liveElement(application);
    if (!live || live->kind != LiveElement::Kind::Application)
        return false;
    const auto registered = session_.application(live->pid);
    if (!registered) {
        const auto folder = describe(live->pid).bundlePath;
        return folder && fileExists(*folder + std::string(kChromiumResource));
    }
    if (toolkitOf(live->pid) != kChromiumToolkit)
        return false;
    ApplicationCall call(session_, live->pid);
    return !call.refused() && windowsShowNothing(call, registered.get());
}

// Chromium (with every Electron application) and Firefox: their focused element is reached by
// following the caret (caret_focus.h).
bool LiveDesktop::showsWebPages(Pid pid) {
    const std::string toolkit = toolkitOf(pid);
    return toolkit == kChromiumToolkit || toolkit == kGeckoToolkit;
}

bool LiveDesktop::takesTextWrites(Pid pid) {
    return toolkitOf(pid) != kGeckoToolkit;
}

// Measured with the same text in each: Firefox counts characters of its padded text, which are
// UTF-16 units of the text without the padding; Chromium (caret and character count) and GTK
// count characters.
// Firefox's empty first answer is waited out once a run: a field that is really empty costs
// that wait once.
TextQuirks LiveDesktop::textQuirksOf(Pid pid) {
    if (toolkitOf(pid) != kGeckoToolkit)
        return {};
    const bool firstRead = textReadOnce_.insert(pid).second;
    return {.unit = OffsetUnit::Utf16Units, .firstAnswerMayBeEmpty = firstRead};
}

}  // namespace fieldpilot::platform::live
