// Browsers answer the Collection search for the focused element by walking the whole page, which
// takes them minutes for a page of 100,000 elements, and they stay busy after the caller gave up.
// Their text interfaces lead to the caret instead: a document's caret offset, and that of every
// element between it and the element with the caret, is the offset of the character that stands
// for the child holding the caret, and that character's link names the child.
#include "caret_focus.h"

#include "accessible_reads.h"

namespace fieldpilot::platform::live {
namespace {

// Deeper than any page nests its elements; it also ends a chain that leads round in a circle.
constexpr int kCaretChainLimit = 64;
constexpr gint kFirstDocument = 1;
constexpr gint kLinkedObject = 0;

// The first document in the window that is showing. The search stops there, so the browser walks
// only its own controls before the page, never the page.
GRef<AtspiAccessible> showingDocument(ApplicationCall& call, AtspiAccessible* window) {
    const auto collection =
        GRef<AtspiCollection>::adopt(atspi_accessible_get_collection_iface(window));
    if (!collection)
        return {};
    auto states = GRef<AtspiStateSet>::adopt(atspi_state_set_new(nullptr));
    atspi_state_set_add(states.get(), ATSPI_STATE_SHOWING);
    GArray* roles = g_array_new(FALSE, FALSE, sizeof(AtspiRole));
    const AtspiRole document = ATSPI_ROLE_DOCUMENT_WEB;
    g_array_append_val(roles, document);
    auto rule = GRef<AtspiMatchRule>::adopt(atspi_match_rule_new(
        states.get(), ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_NONE, roles,
        ATSPI_Collection_MATCH_ANY, nullptr, ATSPI_Collection_MATCH_NONE, FALSE));
    g_array_free(roles, TRUE);
    auto documents = collectionMatches(call, collection.get(), rule.get(), kFirstDocument);
    if (!documents || documents->empty())
        return {};
    return std::move(documents->front());
}

// The child of `element` that holds the caret; null when the caret is in its own text, or it has
// no caret.
GRef<AtspiAccessible> childWithCaret(ApplicationCall& call, AtspiAccessible* element) {
    const auto text = GRef<AtspiText>::adopt(atspi_accessible_get_text_iface(element));
    const auto hypertext =
        GRef<AtspiHypertext>::adopt(atspi_accessible_get_hypertext_iface(element));
    if (!text || !hypertext)
        return {};
    call.startStep();
    const gint caret = atspi_text_get_caret_offset(text.get(), call.error());
    if (call.hasError() || caret < 0)
        return {};
    call.startStep();
    const gint link = atspi_hypertext_get_link_index(hypertext.get(), caret, call.error());
    if (call.hasError() || link < 0)
        return {};
    call.startStep();
    const auto hyperlink =
        GRef<AtspiHyperlink>::adopt(atspi_hypertext_get_link(hypertext.get(), link, call.error()));
    if (call.hasError() || !hyperlink)
        return {};
    call.startStep();
    auto child = GRef<AtspiAccessible>::adopt(
        atspi_hyperlink_get_object(hyperlink.get(), kLinkedObject, call.error()));
    if (call.hasError())
        return {};
    return child;
}

}  // namespace

std::optional<GRef<AtspiAccessible>> focusedByCaret(ApplicationCall& call,
                                                    AtspiAccessible* window) {
    auto element = showingDocument(call, window);
    for (int depth = 0; element && depth < kCaretChainLimit; ++depth) {
        const auto states = statesOf(call, element.get());
        const auto claim = states ? claimOf(call, element.get(), states.get()) : std::nullopt;
        if (!claim || *claim == FocusClaim::Doubtful)
            return std::nullopt;
        if (*claim == FocusClaim::Holds)
            return element;
        element = childWithCaret(call, element.get());
    }
    return std::nullopt;
}

}  // namespace fieldpilot::platform::live
