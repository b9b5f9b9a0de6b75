#include "platform/sim/sim_values.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <utility>

#include "platform/sim/sim_element.h"
#include "platform/sim/sim_reading.h"

namespace fieldpilot::sim {
namespace {

using platform::Geometry;
using platform::Value;

// The platform's null object (kCFNull), the only thing a null stands for inside a collection.
constexpr std::string_view kNullTypeName = "NSNull";

struct GeometryKey {
    std::string_view key;
    Geometry::Type type;
    std::size_t count;
};
constexpr GeometryKey kGeometryKeys[] = {
    {"point", Geometry::Type::Point, 2},
    {"size", Geometry::Type::Size, 2},
    {"rect", Geometry::Type::Rect, 4},
    {"range", Geometry::Type::Range, 2},
};

// The platform's integers are 64-bit signed: a larger integer is refused rather than rounded.
Value decodeNumber(const OrderedJson& json, const Place& where) {
    if (json.is_number_float()) {
        return json.get<double>();
    }
    return readInteger<std::int64_t>(json, where);
}

Value decodeGeometry(const GeometryKey& key, const OrderedJson& numbers, const Place& where) {
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "\"" + std::string(...) at -O3.
    const std::string quotedKey = std::string(1, '"').append(key.key).append(1, '"');
    if (!numbers.is_array() || numbers.size() != key.count) {
        failAt(where, quotedKey + " needs an array of " + std::to_string(key.count) + " numbers");
    }
    Geometry geometry{key.type, {}};
    for (const auto& number : numbers) {
        if (!number.is_number()) {
            failAt(where, quotedKey + " needs numbers");
        }
        geometry.numbers.push_back(number.get<double>());
    }
    return geometry;
}

// A number stored as a 32-bit float: one that a float cannot hold is refused rather than made
// infinite.
Value decodeFloat32(const OrderedJson& number, const Place& where) {
    if (!number.is_number() || !(std::fabs(number.get<double>()) <= FLT_MAX)) {
        failAt(where, "\"float32\" needs a number within a 32-bit float's range");
    }
    return static_cast<float>(number.get<double>());
}

const std::string& requireText(const OrderedJson& json, const std::string& key,
                               const Place& where) {
    return readText(json.at(key), where.member(key));
}

// The single-member objects that stand for values other than JSON's own.
std::optional<Value> decodeTaggedValue(const OrderedJson& json, const DesktopState& state,
                                       const Place& where) {
    if (json.size() != 1) {
        return std::nullopt;
    }
    const std::string& key = json.begin().key();
    if (key == "element") {
        return makeElementReference(state, requireText(json, key, where));
    }
    if (key == "attributed") {
        return platform::AttributedText{requireText(json, key, where)};
    }
    if (key == "other") {
        return platform::OtherValue{requireText(json, key, where)};
    }
    if (key == "float32") {
        return decodeFloat32(json.begin().value(), where);
    }
    for (const auto& geometryKey : kGeometryKeys) {
        if (key == geometryKey.key) {
            return decodeGeometry(geometryKey, json.begin().value(), where);
        }
    }
    return std::nullopt;
}

std::unique_ptr<AttributeListing> decodeBranch(const OrderedJson& when, std::string_view key,
                                               const DesktopState& state, const Place& where) {
    const auto branch = when.find(std::string(key));
    if (branch == when.end()) {
        return nullptr;
    }
    return std::make_unique<AttributeListing>(decodeAttribute(*branch, state, where.member(key)));
}

AttributeListing decodeWhen(const OrderedJson& json, const DesktopState& state,
                            const Place& where) {
    const auto& conditions = json.at("when");
    if (!conditions.is_object()) {
        failAt(where, "\"when\" needs an object of attribute values");
    }
    for (const auto& member : json.items()) {
        if (member.key() != "when" && member.key() != "then" && member.key() != "else") {
            failAt(where, "unexpected \"" + member.key() + "\" beside \"when\"");
        }
    }
    AttributeListing::When when;
    for (const auto& condition : conditions.items()) {
        when.conditions.emplace_back(condition.key(), condition.value());
    }
    when.then = decodeBranch(json, "then", state, where);
    when.otherwise = decodeBranch(json, "else", state, where);
    return {std::move(when)};
}

AttributeListing decodeReads(const OrderedJson& steps, const DesktopState& state,
                             const Place& where) {
    if (!steps.is_array() || steps.empty()) {
        failAt(where, "\"reads\" needs a non-empty array");
    }
    AttributeListing::Reads reads;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        reads.steps.push_back(decodeAttribute(steps[i], state, where.member("reads").item(i)));
    }
    return {std::move(reads)};
}

AttributeListing decodeFailure(const OrderedJson& status, const Place& where) {
    return {
        AttributeListing::Failure{readInteger<platform::AXStatus>(status, where.member("error"))}};
}

}  // namespace

AttributeListing decodeAttribute(const OrderedJson& json, const DesktopState& state,
                                 const Place& where) {
    if (json.is_null()) {
        return {AttributeListing::Plain{std::nullopt}};
    }
    if (json.is_object() && json.contains("when")) {
        return decodeWhen(json, state, where);
    }
    if (json.is_object() && json.size() == 1 && json.contains("reads")) {
        return decodeReads(json.at("reads"), state, where);
    }
    if (json.is_object() && json.size() == 1 && json.contains("error")) {
        return decodeFailure(json.at("error"), where);
    }
    return {AttributeListing::Plain{decodeValue(json, state, where)}};
}

Value decodeValue(const OrderedJson& json, const DesktopState& state, const Place& where) {
    switch (json.type()) {
        case OrderedJson::value_t::null:
            return platform::OtherValue{std::string(kNullTypeName)};
        case OrderedJson::value_t::string:
            return json.get<std::string>();
        case OrderedJson::value_t::boolean:
            return json.get<bool>();
        case OrderedJson::value_t::number_integer:
        case OrderedJson::value_t::number_unsigned:
        case OrderedJson::value_t::number_float:
            return decodeNumber(json, where);
        case OrderedJson::value_t::array: {
            platform::Array items;
            for (std::size_t i = 0; i < json.size(); ++i) {
                items.push_back(decodeValue(json[i], state, where.item(i)));
            }
            return items;
        }
        case OrderedJson::value_t::object:
            if (auto value = decodeTaggedValue(json, state, where)) {
                return std::move(*value);
            }
            failAt(where,
                   "an object value must be one of {\"element\"}, {\"point\"}, {\"size\"}, "
                   "{\"rect\"}, {\"range\"}, {\"attributed\"}, {\"float32\"}, {\"other\"}, "
                   "or, as a whole "
                   "attribute value, {\"error\"}, {\"reads\"} or {\"when\"}");
        default:
            failAt(where, "unsupported JSON value");
    }
}

OrderedJson encodeValue(const Value& value) {
    struct Encoder {
        OrderedJson operator()(const std::string& text) const { return text; }
        OrderedJson operator()(std::int64_t number) const { return number; }
        OrderedJson operator()(double number) const { return number; }
        OrderedJson operator()(float number) const { return {{"float32", number}}; }
        OrderedJson operator()(bool flag) const { return flag; }
        OrderedJson operator()(const platform::Element& element) const {
            const SimElement* handle = simElement(element);
            return handle ? OrderedJson{{"element", handle->id}} : OrderedJson(nullptr);
        }
        OrderedJson operator()(const platform::Array& items) const {
            OrderedJson array = OrderedJson::array();
            for (const auto& item : items) {
                array.push_back(encodeValue(item));
            }
            return array;
        }
        OrderedJson operator()(const Geometry& geometry) const {
            for (const auto& key : kGeometryKeys) {
                if (key.type == geometry.type) {
                    return {{std::string(key.key), geometry.numbers}};
                }
            }
            return {{"other", "AXValueIllegalType"}};
        }
        OrderedJson operator()(const platform::AttributedText& text) const {
            return {{"attributed", text.text}};
        }
        OrderedJson operator()(const platform::OtherValue& other) const {
            if (other.typeName == kNullTypeName) {
                return nullptr;
            }
            return {{"other", other.typeName}};
        }
    };
    return std::visit(Encoder{}, value.storage());
}

namespace {

// Levels of arrays and objects a value takes itself, encoded: a geometry value is a tagged object
// holding an array, the other tagged values are objects of one text or number, the platform's
// null object is JSON null.
struct OwnLevels {
    std::size_t operator()(const Geometry&) const { return 2; }
    std::size_t operator()(float) const { return 1; }
    std::size_t operator()(const platform::Array&) const { return 1; }
    std::size_t operator()(const platform::Element&) const { return 1; }
    std::size_t operator()(const platform::AttributedText&) const { return 1; }
    std::size_t operator()(const platform::OtherValue& other) const {
        return other.typeName == kNullTypeName ? 0 : 1;
    }
    template <typename Scalar>
    std::size_t operator()(const Scalar&) const {
        return 0;
    }
};

}  // namespace

bool nestsDeeperThan(const Value& value, std::size_t levels) {
    const std::size_t own = std::visit(OwnLevels{}, value.storage());
    if (own > levels) {
        return true;
    }
    if (const auto* items = value.get<platform::Array>()) {
        for (const auto& item : *items) {
            if (nestsDeeperThan(item, levels - own)) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace fieldpilot::sim
