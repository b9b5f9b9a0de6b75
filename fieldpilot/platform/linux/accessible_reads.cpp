#include "accessible_reads.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "ax_status.h"
#include "bus_calls.h"
#include "text_offsets.h"

namespace fieldpilot::platform::live {
namespace {

constexpr const char* kTextInterface = "org.a11y.atspi.Text";
// Measured in Firefox: its first answer empty, the one 50 ms later right (on a loaded machine,
// later still).
constexpr std::chrono::milliseconds kEmptyAnswerPause{50};
constexpr std::chrono::milliseconds kEmptyAnswerPatience{400};

struct RangeOffsets {
    std::int64_t start = 0;
    std::int64_t end = 0;
};

// The first selection, or the caret as an empty range when nothing is selected; none when a
// call failed. The caret stands at one end of a selection; a selection without it at either end
// (Chromium answers 0 to 0 for every selection in a text area) is no selection to report, and
// `contradicted` says so.
std::optional<RangeOffsets> selectionOrCaret(AtspiAccessible* accessible, bool& contradicted) {
    contradicted = false;
    const auto caret = integerIn(propertyOf(accessible, kTextInterface, "CaretOffset", 'i'));
    const auto selections =
        integerIn(callObject(accessible, kTextInterface, "GetNSelections", {}, "i"));
    if (!caret || !selections)
        return std::nullopt;
    if (*selections <= 0)
        return RangeOffsets{*caret, *caret};
    const BusReply range = callObject(accessible, kTextInterface, "GetSelection", {0}, "ii");
    const auto start = integerIn(range, 0);
    const auto end = integerIn(range, 1);
    if (!start || !end)
        return std::nullopt;
    contradicted = *caret >= 0 && *caret != *start && *caret != *end;
    return RangeOffsets{*start, *end};
}

const gchar* lookUp(GHashTable* attributes, const char* key) {
    return static_cast<const gchar*>(g_hash_table_lookup(attributes, key));
}

// Where toolkits put a placeholder: GTK and Firefox in "placeholder-text", Chromium in
// "placeholder" beside a name from elsewhere, or as the name itself, which it then marks with
// "name-from". A name that nothing marks as the placeholder (Firefox names a field after its
// placeholder without saying so) may be a label, and is not taken for one.
AttributeRead placeholder(ApplicationCall& call, AtspiAccessible* accessible) {
    GHashTable* attributes = atspi_accessible_get_attributes(accessible, call.error());
    if (call.hasError() || !attributes)
        return {call.failed(), std::nullopt};
    const gchar* text = lookUp(attributes, "placeholder-text");
    if (!text)
        text = lookUp(attributes, "placeholder");
    const gchar* nameFrom = lookUp(attributes, "name-from");
    const bool namedByPlaceholder =
        !text && nameFrom && std::string_view(nameFrom) == "placeholder";
    AttributeRead read{kAXErrorNoValue, std::nullopt};
    if (text)
        read = {kAXSuccess, Value(std::string(text))};
    g_hash_table_unref(attributes);
    if (namedByPlaceholder) {
        auto name = nameOf(accessible);
        read = name ? AttributeRead{kAXSuccess, Value(std::move(*name))}
                    : AttributeRead{call.failed(), std::nullopt};
    }
    return read;
}

// One string property, asked of the application over the accessibility bus.
std::optional<std::string> stringProperty(AtspiAccessible* accessible, const char* interface,
                                          const char* property) {
    return stringIn(propertyOf(accessible, interface, property, 's'));
}

}  // namespace

std::optional<std::string> nameOf(AtspiAccessible* accessible) {
    return stringProperty(accessible, "org.a11y.atspi.Accessible", "Name");
}

std::optional<std::string> toolkitNameOf(AtspiAccessible* application) {
    return stringProperty(application, "org.a11y.atspi.Application", "ToolkitName");
}

std::optional<std::string> wholeText(ApplicationCall& call, AtspiAccessible* accessible,
                                     const TextQuirks& quirks) {
    call.allowUpTo(kTextReadTimeout);
    call.startStep();
    auto text = stringIn(callObject(accessible, kTextInterface, "GetText", {0, -1}, "s"));
    for (auto waited = std::chrono::milliseconds::zero();
         text && text->empty() && quirks.firstAnswerMayBeEmpty && waited < kEmptyAnswerPatience;
         waited += kEmptyAnswerPause) {
        std::this_thread::sleep_for(kEmptyAnswerPause);
        text = stringIn(callObject(accessible, kTextInterface, "GetText", {0, -1}, "s"));
    }
    const bool timedOut = !text && call.ranOutOfTime();
    call.allowUpTo(kCallTimeout);
    // A read that failed within its own, longer timeout is no sign of a hung application.
    if (!timedOut)
        call.startStep();
    if (text && quirks.unit == OffsetUnit::Utf16Units)
        text = withoutAstralPadding(*text);
    return text;
}

GRef<AtspiStateSet> statesOf(ApplicationCall& call, AtspiAccessible* accessible) {
    call.startStep();
    auto states = GRef<AtspiStateSet>::adopt(atspi_accessible_get_state_set(accessible));
    if (call.ranOutOfTime())
        return {};
    return states;
}

bool hasState(AtspiStateSet* states, AtspiStateType state) {
    return states && atspi_state_set_contains(states, state);
}

std::optional<FocusClaim> claimOf(ApplicationCall& call, AtspiAccessible* accessible,
                                  AtspiStateSet* states) {
    if (!hasState(states, ATSPI_STATE_FOCUSED))
        return FocusClaim::Absent;
    const AtspiRole role = atspi_accessible_get_role(accessible, call.error());
    if (call.hasError())
        return std::nullopt;
    return focusClaim(role, true, hasState(states, ATSPI_STATE_FOCUSABLE));
}

std::optional<std::vector<GRef<AtspiAccessible>>> collectionMatches(ApplicationCall& call,
                                                                    AtspiCollection* collection,
                                                                    AtspiMatchRule* rule,
                                                                    gint count) {
    call.startStep();
    GArray* matches = atspi_collection_get_matches(
        collection, rule, ATSPI_Collection_SORT_ORDER_CANONICAL, count, TRUE, call.error());
    if (call.hasError() || !matches)
        return std::nullopt;
    std::vector<GRef<AtspiAccessible>> found;
    for (guint index = 0; index < matches->len; ++index)
        found.push_back(
            GRef<AtspiAccessible>::adopt(g_array_index(matches, AtspiAccessible*, index)));
    g_array_free(matches, TRUE);
    return found;
}

// The count is the application's claim: nothing is set aside for it, and only the first
// kChildrenTaken are asked for.
std::vector<GRef<AtspiAccessible>> childrenOf(ApplicationCall& call, AtspiAccessible* accessible,
                                              bool& failed) {
    failed = false;
    std::vector<GRef<AtspiAccessible>> children;
    call.startStep();
    const int count = atspi_accessible_get_child_count(accessible, call.error());
    if (call.hasError() || count < 0) {
        failed = true;
        return {};
    }
    const int taken = std::min(count, kChildrenTaken);
    for (int index = 0; index < taken; ++index) {
        if (call.outOfRunBudget()) {
            failed = true;
            return {};
        }
        call.startStep();
        auto child = GRef<AtspiAccessible>::adopt(
            atspi_accessible_get_child_at_index(accessible, index, call.error()));
        if (call.hasError()) {
            failed = true;
            return {};
        }
        if (child)
            children.push_back(std::move(child));
    }
    return children;
}

AttributeRead textAttribute(ApplicationCall& call, AtspiAccessible* accessible,
                            std::string_view name, const TextQuirks& quirks) {
    if (name == "AXPlaceholderValue")
        return placeholder(call, accessible);
    const auto text = GRef<AtspiText>::adopt(atspi_accessible_get_text_iface(accessible));
    if (!text)
        return {kAXErrorAttributeUnsupported, std::nullopt};
    const auto content = wholeText(call, accessible, quirks);
    if (!content)
        return {call.failed(), std::nullopt};
    if (name == "AXValue")
        return {kAXSuccess, Value(*content)};

    bool contradicted = false;
    const auto selection = selectionOrCaret(accessible, contradicted);
    if (!selection)
        return {call.failed(), std::nullopt};
    if (contradicted)
        return {kAXErrorFailure, std::nullopt};
    if (name == "AXSelectedText")
        return {kAXSuccess,
                Value(textSlice(*content, selection->start, selection->end, quirks.unit))};
    const Utf16Range range = utf16Range(*content, selection->start, selection->end, quirks.unit);
    return {
        kAXSuccess,
        Value(Geometry{Geometry::Type::Range,
                       {static_cast<double>(range.location), static_cast<double>(range.length)}})};
}

}  // namespace fieldpilot::platform::live
