#include "platform/sim/sim_layouts.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

namespace fieldpilot::sim {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'S', 'K', 'L', '2'};

using KeyText = std::pair<std::uint16_t, std::u16string_view>;

// Keys outside the letter block that type the same on both layouts: white space and the keypad.
// Delete, Escape, the arrows and the function keys type no text.
constexpr KeyText kSharedKeys[] = {
    {36, u"\r"}, {48, u"\t"}, {49, u" "}, {65, u"."}, {67, u"*"}, {69, u"+"}, {75, u"/"},
    {78, u"-"},  {81, u"="},  {82, u"0"}, {83, u"1"}, {84, u"2"}, {85, u"3"}, {86, u"4"},
    {87, u"5"},  {88, u"6"},  {89, u"7"}, {91, u"8"}, {92, u"9"},
};

constexpr KeyText kUsKeys[] = {
    {0, u"a"},   {1, u"s"},  {2, u"d"},  {3, u"f"},  {4, u"h"},  {5, u"g"},  {6, u"z"},  {7, u"x"},
    {8, u"c"},   {9, u"v"},  {11, u"b"}, {12, u"q"}, {13, u"w"}, {14, u"e"}, {15, u"r"}, {16, u"y"},
    {17, u"t"},  {18, u"1"}, {19, u"2"}, {20, u"3"}, {21, u"4"}, {22, u"6"}, {23, u"5"}, {24, u"="},
    {25, u"9"},  {26, u"7"}, {27, u"-"}, {28, u"8"}, {29, u"0"}, {30, u"]"}, {31, u"o"}, {32, u"u"},
    {33, u"["},  {34, u"i"}, {35, u"p"}, {37, u"l"}, {38, u"j"}, {39, u"'"}, {40, u"k"}, {41, u";"},
    {42, u"\\"}, {43, u","}, {44, u"/"}, {45, u"n"}, {46, u"m"}, {47, u"."}, {50, u"`"},
};

// The circumflex (33) and grave (42) keys are dead keys and type nothing on their own.
constexpr KeyText kFrenchKeys[] = {
    {0, u"q"},  {1, u"s"},  {2, u"d"},  {3, u"f"},  {4, u"h"},   {5, u"g"},  {6, u"w"},  {7, u"x"},
    {8, u"c"},  {9, u"v"},  {10, u"@"}, {11, u"b"}, {12, u"a"},  {13, u"z"}, {14, u"e"}, {15, u"r"},
    {16, u"y"}, {17, u"t"}, {18, u"&"}, {19, u"é"}, {20, u"\""}, {21, u"'"}, {22, u"§"}, {23, u"("},
    {24, u"-"}, {25, u"ç"}, {26, u"è"}, {27, u")"}, {28, u"!"},  {29, u"à"}, {30, u"$"}, {31, u"o"},
    {32, u"u"}, {34, u"i"}, {35, u"p"}, {37, u"l"}, {38, u"j"},  {39, u"ù"}, {40, u"k"}, {41, u"m"},
    {43, u";"}, {44, u"="}, {45, u"n"}, {46, u","}, {47, u":"},  {50, u"<"},
};

// Dvorak's letters and punctuation on the keys of the ANSI letter block; the digits stay.
constexpr KeyText kDvorakKeys[] = {
    {0, u"a"},   {1, u"o"},  {2, u"e"},  {3, u"u"},  {4, u"d"},  {5, u"i"},  {6, u";"},  {7, u"q"},
    {8, u"j"},   {9, u"k"},  {11, u"x"}, {12, u"'"}, {13, u","}, {14, u"."}, {15, u"p"}, {16, u"f"},
    {17, u"y"},  {18, u"1"}, {19, u"2"}, {20, u"3"}, {21, u"4"}, {22, u"6"}, {23, u"5"}, {24, u"]"},
    {25, u"9"},  {26, u"7"}, {27, u"["}, {28, u"8"}, {29, u"0"}, {30, u"="}, {31, u"r"}, {32, u"g"},
    {33, u"/"},  {34, u"c"}, {35, u"l"}, {37, u"n"}, {38, u"h"}, {39, u"-"}, {40, u"t"}, {41, u"s"},
    {42, u"\\"}, {43, u"w"}, {44, u"z"}, {45, u"b"}, {46, u"m"}, {47, u"v"}, {50, u"`"},
};

KeyTable tableOf(std::span<const KeyText> keys) {
    KeyTable table;
    for (const auto& [code, text] : kSharedKeys) {
        table.emplace(code, text);
    }
    for (const auto& [code, text] : keys) {
        table.emplace(code, text);
    }
    return table;
}

void appendNumber(std::vector<std::uint8_t>& bytes, std::uint16_t number) {
    bytes.push_back(static_cast<std::uint8_t>(number & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(number >> 8));
}

// Reads 16-bit numbers from the data; false once the data runs out.
class NumberReader {
  public:
    explicit NumberReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    bool next(std::uint16_t& number) {
        if (bytes_.size() < 2) {
            return false;
        }
        number = static_cast<std::uint16_t>(bytes_[0] | (bytes_[1] << 8));
        bytes_ = bytes_.subspan(2);
        return true;
    }
    bool atEnd() const { return bytes_.empty(); }

  private:
    std::span<const std::uint8_t> bytes_;
};

void appendText(std::vector<std::uint8_t>& bytes, const KeyTable& keys, std::uint16_t code) {
    const auto key = keys.find(code);
    const std::u16string_view text =
        key == keys.end() ? std::u16string_view() : std::u16string_view(key->second);
    appendNumber(bytes, static_cast<std::uint16_t>(text.size()));
    for (const char16_t unit : text) {
        appendNumber(bytes, unit);
    }
}

// One length-prefixed text; none when the data runs out.
std::optional<std::u16string> readText(NumberReader& reader) {
    std::uint16_t length = 0;
    if (!reader.next(length)) {
        return std::nullopt;
    }
    std::u16string text(length, u'\0');
    for (char16_t& unit : text) {
        std::uint16_t number = 0;
        if (!reader.next(number)) {
            return std::nullopt;
        }
        unit = number;
    }
    return text;
}

}  // namespace

KeyboardLayout sameWithCommand(KeyTable keys) {
    KeyTable commandKeys = keys;
    return {KeyboardLayout::Kind::Table, std::move(keys), std::move(commandKeys)};
}

KeyboardLayout usLayout() {
    return sameWithCommand(tableOf(kUsKeys));
}

KeyboardLayout frenchLayout() {
    return sameWithCommand(tableOf(kFrenchKeys));
}

KeyboardLayout dvorakQwertyCommandLayout() {
    return {KeyboardLayout::Kind::Table, tableOf(kDvorakKeys), tableOf(kUsKeys)};
}

std::vector<std::uint8_t> encodeLayout(const KeyboardLayout& layout) {
    std::set<std::uint16_t> codes;
    for (const KeyTable* keys : {&layout.keys, &layout.commandKeys}) {
        for (const auto& entry : *keys) {
            codes.insert(entry.first);
        }
    }
    std::vector<std::uint8_t> bytes(kMagic.begin(), kMagic.end());
    for (const std::uint16_t code : codes) {
        appendNumber(bytes, code);
        appendText(bytes, layout.keys, code);
        appendText(bytes, layout.commandKeys, code);
    }
    return bytes;
}

std::variant<std::u16string, std::int32_t> typedByKey(std::span<const std::uint8_t> layoutData,
                                                      std::uint16_t keyCode, bool commandHeld) {
    if (layoutData.size() < kMagic.size() ||
        !std::equal(kMagic.begin(), kMagic.end(), layoutData.begin())) {
        return kParamErr;
    }
    NumberReader reader(layoutData.subspan(kMagic.size()));
    while (!reader.atEnd()) {
        std::uint16_t code = 0;
        if (!reader.next(code)) {
            return kParamErr;
        }
        auto plain = readText(reader);
        auto withCommand = readText(reader);
        if (!plain || !withCommand) {
            return kParamErr;
        }
        if (code == keyCode) {
            return commandHeld ? std::move(*withCommand) : std::move(*plain);
        }
    }
    return std::u16string();
}

}  // namespace fieldpilot::sim
