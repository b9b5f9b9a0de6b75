// Reading and changing the stored state of one element. A change updates the parsed attribute
// and the element's JSON object together, so that a save writes what later reads answer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "platform/sim/sim_state.h"

namespace fieldpilot::sim {

inline constexpr std::string_view kValueAttribute = "AXValue";
inline constexpr std::string_view kFocusedAttribute = "AXFocused";
inline constexpr std::string_view kFocusedElementAttribute = "AXFocusedUIElement";

// The value of an attribute listed as a plain value; null for any other listing.
const platform::Value* plainValue(const ElementRecord& record, std::string_view name);
bool isPlainTrue(const ElementRecord& record, std::string_view name);

void storeAttribute(ElementRecord& record, std::string_view name, const platform::Value& value);
void storeSelection(ElementRecord& record, TextRange selection);

// The text of a field ("AXValue" listed as plain text) and its selection, clamped to the text,
// with an edge that falls inside a surrogate pair moved to the pair's start. Without a listed
// selection the caret stands at the end of the text.
struct FieldText {
    std::u16string text;
    TextRange selection;

    std::u16string selected() const;
    void selectAll();
    void replaceSelection(std::u16string_view replacement);  // the caret follows the new text
    void deleteBackward();  // the selection, or the character before the caret
    void collapseToEnd();
};

std::optional<FieldText> fieldText(const ElementRecord& record);
void storeFieldText(ElementRecord& record, const FieldText& field);

// "AXSelectedText" as derived from the listed selection of a plain text "AXValue".
std::optional<std::string> derivedSelectedText(const ElementRecord& record);

}  // namespace fieldpilot::sim
