// A compact JSON value and writer shared by both helpers.
//
// Objects keep their members in insertion order; setting an existing key replaces its value in
// place. Serialisation always yields valid JSON on one line: strings are escaped, bytes that are
// not valid UTF-8 become U+FFFD, and numbers that JSON cannot express become null.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace json {

class Value;

using Array = std::vector<Value>;

class Object {
  public:
    using Member = std::pair<std::string, Value>;

    Object() = default;
    Object(std::initializer_list<Member> members);

    // Adds the member at the end, or replaces the value of an existing member in place.
    Object& set(std::string key, Value value);
    const Value* find(std::string_view key) const;
    bool contains(std::string_view key) const { return find(key) != nullptr; }
    bool empty() const;
    std::size_t size() const;

    std::vector<Member>::const_iterator begin() const;
    std::vector<Member>::const_iterator end() const;

    bool operator==(const Object&) const;

  private:
    std::vector<Member> members_;
};

class Value {
  public:
    using Storage =
        std::variant<std::nullptr_t, bool, std::int64_t, double, std::string, Array, Object>;

    Value() : storage_(nullptr) {}
    Value(std::nullptr_t) : storage_(nullptr) {}
    Value(bool b) : storage_(b) {}
    Value(int i) : storage_(std::int64_t{i}) {}
    Value(std::int64_t i) : storage_(i) {}
    Value(double d) : storage_(d) {}
    Value(const char* s) : storage_(std::string(s)) {}
    Value(std::string_view s) : storage_(std::string(s)) {}
    Value(std::string s) : storage_(std::move(s)) {}
    Value(Array a) : storage_(std::move(a)) {}
    Value(Object o) : storage_(std::move(o)) {}

    const Storage& storage() const { return storage_; }
    template <typename T>
    const T* get() const {
        return std::get_if<T>(&storage_);
    }

    bool operator==(const Value&) const = default;

  private:
    Storage storage_;
};

// Defined here, where Value is complete, because they instantiate the member pairs.
inline bool Object::empty() const {
    return members_.empty();
}
inline std::size_t Object::size() const {
    return members_.size();
}
inline std::vector<Object::Member>::const_iterator Object::begin() const {
    return members_.begin();
}
inline std::vector<Object::Member>::const_iterator Object::end() const {
    return members_.end();
}

// Appends the JSON string literal for `text`, quotes included.
void appendString(std::string& out, std::string_view text);

// Appends the compact JSON text of `value`.
void append(std::string& out, const Value& value);

// The compact JSON text of `value`: no white space between tokens, members in insertion order.
std::string serialize(const Value& value);

}  // namespace json
