// The JSON writer on any keys, strings and numbers: the text is always one line of valid JSON
// that reads back as the value written, with each byte of ill-formed UTF-8 as U+FFFD, and each
// double in the shortest form std::to_chars gives.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "json.h"
#include "number_text.h"
#include "support/fuzz_check.h"
#include "support/utf8_reference.h"

namespace {

using fuzz::require;
using Expected = nlohmann::ordered_json;

constexpr int kMaxDepth = 6;
constexpr int kMaxMembers = 8;

void checkNumberText(double number) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    require(number_text::shortest(number) == std::string(buffer, result.ptr),
            "a double is written as std::to_chars writes it");
}

// A random value, and beside it the value that the written text must read back as.
json::Value makeValue(FuzzedDataProvider& data, int depth, Expected& expected) {
    switch (data.ConsumeIntegralInRange(0, depth < kMaxDepth ? 6 : 4)) {
        case 0:
            expected = nullptr;
            return nullptr;
        case 1: {
            const bool flag = data.ConsumeBool();
            expected = flag;
            return flag;
        }
        case 2: {
            const auto integer = data.ConsumeIntegral<std::int64_t>();
            expected = integer;
            return integer;
        }
        case 3: {
            const auto bits = data.ConsumeIntegral<std::uint64_t>();
            double number;
            std::memcpy(&number, &bits, sizeof number);
            if (std::isfinite(number)) {
                checkNumberText(number);
                expected = number;
            } else {
                expected = nullptr;
            }
            return number;
        }
        case 4: {
            std::string text = data.ConsumeRandomLengthString();
            expected = fuzz::withReplacements(text);
            return text;
        }
        case 5: {
            json::Array array;
            expected = Expected::array();
            const int count = data.ConsumeIntegralInRange(0, kMaxMembers);
            for (int i = 0; i < count; ++i) {
                Expected element;
                array.push_back(makeValue(data, depth + 1, element));
                expected.push_back(std::move(element));
            }
            return array;
        }
        default: {
            json::Object object;
            // The members as the writer's object keeps them: a repeated key replaces the value
            // in place.
            std::vector<std::pair<std::string, Expected>> members;
            const int count = data.ConsumeIntegralInRange(0, kMaxMembers);
            for (int i = 0; i < count; ++i) {
                std::string key = data.ConsumeRandomLengthString();
                Expected member;
                json::Value value = makeValue(data, depth + 1, member);
                const auto same = std::find_if(members.begin(), members.end(),
                                               [&](const auto& kept) { return kept.first == key; });
                if (same == members.end())
                    members.emplace_back(key, std::move(member));
                else
                    same->second = std::move(member);
                object.set(std::move(key), std::move(value));
            }
            // Keys that differ only in ill-formed bytes are written alike; reading them back keeps
            // the first one's place and the last one's value.
            expected = Expected::object();
            for (auto& [key, member] : members)
                expected[fuzz::withReplacements(key)] = std::move(member);
            return object;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    Expected expected;
    const json::Value value = makeValue(data, 0, expected);
    const std::string text = json::serialize(value);

    require(text.find('\n') == std::string::npos && text.find('\r') == std::string::npos,
            "the text is one line");
    const Expected parsed = Expected::parse(text, nullptr, /*allow_exceptions=*/false);
    require(!parsed.is_discarded(), "the text is valid JSON");
    require(parsed == expected, "the text reads back as the value written");
    return 0;
}
