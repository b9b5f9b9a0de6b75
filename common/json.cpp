#include "json.h"

#include <cmath>

#include "number_text.h"
#include "utf.h"

namespace json {

Object::Object(std::initializer_list<Member> members) {
    for (const auto& [key, value] : members)
        set(key, value);
}

Object& Object::set(std::string key, Value value) {
    for (auto& member : members_) {
        if (member.first == key) {
            member.second = std::move(value);
            return *this;
        }
    }
    members_.emplace_back(std::move(key), std::move(value));
    return *this;
}

const Value* Object::find(std::string_view key) const {
    for (const auto& member : members_) {
        if (member.first == key)
            return &member.second;
    }
    return nullptr;
}

bool Object::operator==(const Object& other) const {
    return members_ == other.members_;
}

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

void appendEscapedAscii(std::string& out, char c) {
    switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case '\b':
            out += "\\b";
            return;
        case '\f':
            out += "\\f";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default:
            break;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
        static constexpr char kHex[] = "0123456789abcdef";
        out += "\\u00";
        out += kHex[(c >> 4) & 0xF];
        out += kHex[c & 0xF];
        return;
    }
    out += c;
}

void appendNumber(std::string& out, double number) {
    if (!std::isfinite(number)) {
        out += "null";
        return;
    }
    out += number_text::shortest(number);
}

}  // namespace

void appendString(std::string& out, std::string_view text) {
    out += '"';
    while (!text.empty()) {
        const std::size_t length = utf::validSequenceLength(text);
        if (length == 0) {
            out += kReplacementCharacter;
            text.remove_prefix(1);
        } else if (length == 1) {
            appendEscapedAscii(out, text.front());
            text.remove_prefix(1);
        } else {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    out += '"';
}

void append(std::string& out, const Value& value) {
    struct Writer {
        std::string& out;
        void operator()(std::nullptr_t) const { out += "null"; }
        void operator()(bool b) const { out += b ? "true" : "false"; }
        void operator()(std::int64_t i) const { out += std::to_string(i); }
        void operator()(double d) const { appendNumber(out, d); }
        void operator()(const std::string& s) const { appendString(out, s); }
        void operator()(const Array& array) const {
            out += '[';
            bool first = true;
            for (const auto& element : array) {
                if (!first)
                    out += ',';
                first = false;
                append(out, element);
            }
            out += ']';
        }
        void operator()(const Object& object) const {
            out += '{';
            bool first = true;
            for (const auto& [key, member] : object) {
                if (!first)
                    out += ',';
                first = false;
                appendString(out, key);
                out += ':';
                append(out, member);
            }
            out += '}';
        }
    };
    std::visit(Writer{out}, value.storage());
}

std::string serialize(const Value& value) {
    std::string out;
    append(out, value);
    return out;
}

}  // namespace json
