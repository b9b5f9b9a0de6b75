#include "platform/sim/sim_records.h"

#include <algorithm>

#include "platform/sim/sim_values.h"
#include "utf.h"

namespace fieldpilot::sim {
namespace {

TextRange clampedTo(TextRange range, std::size_t textLength) {
    const auto length = static_cast<std::int64_t>(textLength);
    const std::int64_t location = std::clamp<std::int64_t>(range.location, 0, length);
    return {location, std::clamp<std::int64_t>(range.length, 0, length - location)};
}

// An edge between the two units of a surrogate pair, moved to the pair's start.
std::int64_t outsidePairs(const std::u16string& text, std::int64_t edge) {
    const auto at = static_cast<std::size_t>(edge);
    const bool insidePair = at > 0 && at < text.size() && utf::isHighSurrogate(text[at - 1]) &&
                            utf::isLowSurrogate(text[at]);
    return insidePair ? edge - 1 : edge;
}

// Ranges count UTF-16 units, as the platform's do, so a listed selection may split a character
// outside the basic plane. Both edges then move to the start of that character's pair: the key
// effects never cut a pair in two (which would leave lone surrogates in the text or on the
// clipboard), and a caret inside a pair stands before the character.
TextRange keepingPairsWhole(const std::u16string& text, TextRange range) {
    const std::int64_t start = outsidePairs(text, range.location);
    const std::int64_t end = outsidePairs(text, range.location + range.length);
    return {start, end - start};
}

}  // namespace

const platform::Value* plainValue(const ElementRecord& record, std::string_view name) {
    const auto attribute = record.attributes.find(name);
    if (attribute == record.attributes.end()) {
        return nullptr;
    }
    const auto* plain = std::get_if<AttributeListing::Plain>(&attribute->second.listing.form);
    return plain && plain->value ? &*plain->value : nullptr;
}

bool isPlainTrue(const ElementRecord& record, std::string_view name) {
    const platform::Value* value = plainValue(record, name);
    return value && value->get<bool>() && *value->get<bool>();
}

void storeAttribute(ElementRecord& record, std::string_view name, const platform::Value& value) {
    record.attributes.insert_or_assign(std::string(name),
                                       Attribute{AttributeListing{AttributeListing::Plain{value}}});
    record.source[std::string(name)] = encodeValue(value);
}

void storeSelection(ElementRecord& record, TextRange selection) {
    record.selection = selection;
    record.source["selection"] = {selection.location, selection.length};
}

std::u16string FieldText::selected() const {
    return text.substr(static_cast<std::size_t>(selection.location),
                       static_cast<std::size_t>(selection.length));
}

void FieldText::selectAll() {
    selection = {0, static_cast<std::int64_t>(text.size())};
}

void FieldText::replaceSelection(std::u16string_view replacement) {
    text.replace(static_cast<std::size_t>(selection.location),
                 static_cast<std::size_t>(selection.length), replacement);
    selection = {selection.location + static_cast<std::int64_t>(replacement.size()), 0};
}

void FieldText::deleteBackward() {
    if (selection.length == 0 && selection.location > 0) {
        // A character outside the basic plane is two units; both go together.
        const auto caret = static_cast<std::size_t>(selection.location);
        const bool pair = caret >= 2 && utf::isLowSurrogate(text[caret - 1]) &&
                          utf::isHighSurrogate(text[caret - 2]);
        selection = {selection.location - (pair ? 2 : 1), pair ? 2 : 1};
    }
    replaceSelection(u"");
}

void FieldText::collapseToEnd() {
    selection = {selection.location + selection.length, 0};
}

std::optional<FieldText> fieldText(const ElementRecord& record) {
    const platform::Value* value = plainValue(record, kValueAttribute);
    const std::string* text = value ? value->get<std::string>() : nullptr;
    if (!text) {
        return std::nullopt;
    }
    FieldText field{utf::utf8ToUtf16(*text), {}};
    const TextRange atEnd{static_cast<std::int64_t>(field.text.size()), 0};
    field.selection = keepingPairsWhole(
        field.text, clampedTo(record.selection.value_or(atEnd), field.text.size()));
    return field;
}

void storeFieldText(ElementRecord& record, const FieldText& field) {
    storeAttribute(record, kValueAttribute, utf::utf16ToUtf8(field.text));
    storeSelection(record, field.selection);
}

std::optional<std::string> derivedSelectedText(const ElementRecord& record) {
    if (!record.selection) {
        return std::nullopt;
    }
    const auto field = fieldText(record);
    if (!field) {
        return std::nullopt;
    }
    return utf::utf16ToUtf8(field->selected());
}

}  // namespace fieldpilot::sim
