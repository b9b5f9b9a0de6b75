#include "unicode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <span>
#include <vector>

#include "unicode_tables.h"
#include "utf.h"

namespace unicode {
namespace {

using tables::GraphemeBreak;

// ---- Decoding --------------------------------------------------------------------------------

constexpr char32_t kAsciiEnd = 0x80;

// Malformed bytes decode to values above U+10FFFF, one per byte, so they stay distinct from every
// character and from each other. No table lists them: like U+FFFD they are starters with grapheme
// break Other and no decomposition.
constexpr char32_t kMalformedByteBase = 0x110000;

struct DecodedUnit {
    char32_t value;
    std::size_t length;
};

DecodedUnit decodeAt(std::string_view text, std::size_t position) {
    const std::string_view rest = text.substr(position);
    const utf::Decoded decoded = utf::decode(rest);
    if (!decoded.wellFormed)
        return {kMalformedByteBase + static_cast<unsigned char>(rest.front()), 1};
    return {decoded.codePoint, decoded.length};
}

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < kAsciiEnd; });
}

// ---- Hangul syllables ------------------------------------------------------------------------

constexpr char32_t kSyllableBase = 0xAC00;
constexpr char32_t kLeadingBase = 0x1100;
constexpr char32_t kVowelBase = 0x1161;
constexpr char32_t kTrailingBase = 0x11A7;  // One before the first trailing consonant.
constexpr char32_t kLeadingCount = 19;
constexpr char32_t kVowelCount = 21;
constexpr char32_t kTrailingCount = 28;  // Trailing consonants plus "none".
constexpr char32_t kSyllableCount = kLeadingCount * kVowelCount * kTrailingCount;

bool isHangulSyllable(char32_t codePoint) {
    return codePoint >= kSyllableBase && codePoint < kSyllableBase + kSyllableCount;
}

bool hasTrailingConsonant(char32_t syllable) {
    return (syllable - kSyllableBase) % kTrailingCount != 0;
}

// ---- Table lookups ---------------------------------------------------------------------------

// The range of `ranges` (sorted, disjoint) that holds `codePoint`, or nullptr.
template <typename Range>
const Range* findRange(std::span<const Range> ranges, char32_t codePoint) {
    const auto after =
        std::upper_bound(ranges.begin(), ranges.end(), codePoint,
                         [](char32_t value, const Range& range) { return value < range.first; });
    if (after == ranges.begin())
        return nullptr;
    const Range& candidate = *(after - 1);
    return codePoint <= candidate.last ? &candidate : nullptr;
}

GraphemeBreak graphemeBreakInTable(char32_t codePoint) {
    const auto* range = findRange(
        std::span<const tables::GraphemeBreakRange>(tables::kGraphemeBreakRanges), codePoint);
    return range ? range->property : GraphemeBreak::Other;
}

// Text that is mostly ASCII looks its characters up here instead of searching the table.
constexpr auto kAsciiGraphemeBreaks = [] {
    std::array<GraphemeBreak, kAsciiEnd> breaks{};
    for (const auto& range : tables::kGraphemeBreakRanges) {
        for (char32_t codePoint = range.first; codePoint <= range.last && codePoint < kAsciiEnd;
             ++codePoint) {
            breaks[codePoint] = range.property;
        }
    }
    return breaks;
}();

GraphemeBreak graphemeBreakOf(char32_t codePoint) {
    if (codePoint < kAsciiEnd)
        return kAsciiGraphemeBreaks[codePoint];
    const GraphemeBreak property = graphemeBreakInTable(codePoint);
    if (property != GraphemeBreak::HangulSyllable)
        return property;
    return hasTrailingConsonant(codePoint) ? GraphemeBreak::LVT : GraphemeBreak::LV;
}

std::uint8_t combiningClassOf(char32_t codePoint) {
    // Most text is letters below the first combining mark (U+0300).
    if (codePoint < tables::kCombiningClassRanges[0].first)
        return 0;
    const auto* range = findRange(
        std::span<const tables::CombiningClassRange>(tables::kCombiningClassRanges), codePoint);
    return range ? range->combiningClass : 0;
}

// The full canonical decomposition of `codePoint` from the table (Hangul syllables are not in it),
// or nullptr when it has none.
const tables::Decomposition* decompositionOf(char32_t codePoint) {
    if (codePoint < tables::kDecompositions[0].codePoint)
        return nullptr;
    const auto* end = std::end(tables::kDecompositions);
    const auto* found = std::lower_bound(
        std::begin(tables::kDecompositions), end, codePoint,
        [](const tables::Decomposition& entry, char32_t value) { return entry.codePoint < value; });
    return found != end && found->codePoint == codePoint ? found : nullptr;
}

// ---- Grapheme cluster boundaries -------------------------------------------------------------

// What the boundary rules need to know about the text before a possible boundary.
struct BreakContext {
    GraphemeBreak previous = GraphemeBreak::Other;
    // The text ends in Extended_Pictographic Extend*.
    bool inPictographicSequence = false;
    // The text ends in Extended_Pictographic Extend* ZWJ.
    bool zwjAfterPictographic = false;
    // The text ends in an odd number of regional indicators.
    bool oddRegionalIndicators = false;
};

bool isControlLike(GraphemeBreak property) {
    return property == GraphemeBreak::Control || property == GraphemeBreak::CR ||
           property == GraphemeBreak::LF;
}

// Unicode's default grapheme cluster boundary rules GB3 to GB13, in their order (GB1 and GB2, the
// ends of the text, are the caller's). The 15.0 tables have no Indic conjunct property, so there
// is no GB9c.
bool isBoundary(const BreakContext& before, GraphemeBreak next) {
    const GraphemeBreak previous = before.previous;
    using enum GraphemeBreak;
    if (previous == CR && next == LF)
        return false;
    if (isControlLike(previous) || isControlLike(next))
        return true;
    if (previous == L && (next == L || next == V || next == LV || next == LVT))
        return false;
    if ((previous == LV || previous == V) && (next == V || next == T))
        return false;
    if ((previous == LVT || previous == T) && next == T)
        return false;
    if (next == Extend || next == ZWJ || next == SpacingMark)
        return false;
    if (previous == Prepend)
        return false;
    if (before.zwjAfterPictographic && next == ExtendedPictographic)
        return false;
    if (previous == RegionalIndicator && next == RegionalIndicator) {
        return !before.oddRegionalIndicators;
    }
    return true;
}

void advance(BreakContext& context, GraphemeBreak next) {
    using enum GraphemeBreak;
    context.zwjAfterPictographic = next == ZWJ && context.inPictographicSequence;
    context.inPictographicSequence =
        next == ExtendedPictographic || (next == Extend && context.inPictographicSequence);
    context.oddRegionalIndicators = next == RegionalIndicator && !context.oddRegionalIndicators;
    context.previous = next;
}

// Between two ASCII characters every position is a boundary, except inside CR LF.
std::size_t asciiClusterCount(std::string_view ascii) {
    std::size_t clusters = ascii.size();
    for (std::size_t at = ascii.find("\r\n"); at != std::string_view::npos;
         at = ascii.find("\r\n", at + 2)) {
        --clusters;
    }
    return clusters;
}

// ---- Canonical decomposition -----------------------------------------------------------------

struct DecomposedCharacter {
    char32_t codePoint;
    std::uint8_t combiningClass;

    bool operator==(const DecomposedCharacter&) const = default;
};

using DecomposedText = std::vector<DecomposedCharacter>;

// Runs of combining marks are usually a few characters long; longer ones (stacked marks) are left
// to a sort that stays O(n log n).
constexpr std::size_t kInsertionSortLimit = 8;

void appendHangulJamo(DecomposedText& text, char32_t syllable) {
    const char32_t index = syllable - kSyllableBase;
    text.push_back({kLeadingBase + index / (kVowelCount * kTrailingCount), 0});
    text.push_back({kVowelBase + index % (kVowelCount * kTrailingCount) / kTrailingCount, 0});
    if (hasTrailingConsonant(syllable)) {
        text.push_back({kTrailingBase + index % kTrailingCount, 0});
    }
}

void appendDecomposition(DecomposedText& text, char32_t codePoint) {
    if (isHangulSyllable(codePoint)) {
        appendHangulJamo(text, codePoint);
        return;
    }
    const tables::Decomposition* decomposition = decompositionOf(codePoint);
    if (!decomposition) {
        text.push_back({codePoint, combiningClassOf(codePoint)});
        return;
    }
    for (const char32_t part : decomposition->parts) {
        if (part == 0)
            break;
        text.push_back({part, combiningClassOf(part)});
    }
}

// Sorts each run of combining marks by combining class, keeping marks of equal class in order.
void putInCanonicalOrder(DecomposedText& text) {
    const auto byClass = [](const DecomposedCharacter& a, const DecomposedCharacter& b) {
        return a.combiningClass < b.combiningClass;
    };
    const auto isStarter = [](const DecomposedCharacter& c) { return c.combiningClass == 0; };
    auto runStart = std::find_if_not(text.begin(), text.end(), isStarter);
    while (runStart != text.end()) {
        const auto runEnd = std::find_if(runStart, text.end(), isStarter);
        if (static_cast<std::size_t>(runEnd - runStart) > kInsertionSortLimit) {
            std::stable_sort(runStart, runEnd, byClass);
        } else {
            for (auto next = runStart + 1; next < runEnd; ++next) {
                std::rotate(std::upper_bound(runStart, next, *next, byClass), next, next + 1);
            }
        }
        runStart = std::find_if_not(runEnd, text.end(), isStarter);
    }
}

DecomposedText canonicalDecomposition(std::string_view utf8) {
    DecomposedText text;
    text.reserve(utf8.size());
    for (std::size_t position = 0; position < utf8.size();) {
        const DecodedUnit unit = decodeAt(utf8, position);
        appendDecomposition(text, unit.value);
        position += unit.length;
    }
    putInCanonicalOrder(text);
    return text;
}

// Where the comparison of two texts can start. The text before an ASCII character decomposes
// independently of the text after it: an ASCII byte is always a whole character, and a starter
// that combining marks never move across. So equal bytes up to the last ASCII character before
// the first difference need no decomposing; successive transcriptions often share most of that.
std::size_t restartBeforeFirstDifference(std::string_view a, std::string_view b) {
    const std::size_t shared =
        std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
    for (std::size_t position = shared; position > 0; --position) {
        if (static_cast<unsigned char>(a[position - 1]) < kAsciiEnd)
            return position - 1;
    }
    return 0;
}

}  // namespace

std::size_t graphemeClusterCount(std::string_view utf8) {
    if (utf8.empty())
        return 0;
    if (isAscii(utf8))
        return asciiClusterCount(utf8);

    const DecodedUnit first = decodeAt(utf8, 0);
    BreakContext context;
    advance(context, graphemeBreakOf(first.value));
    std::size_t clusters = 1;
    for (std::size_t position = first.length; position < utf8.size();) {
        const DecodedUnit unit = decodeAt(utf8, position);
        const GraphemeBreak property = graphemeBreakOf(unit.value);
        if (isBoundary(context, property))
            ++clusters;
        advance(context, property);
        position += unit.length;
    }
    return clusters;
}

bool canonicallyEquivalent(std::string_view a, std::string_view b) {
    if (a == b)
        return true;
    // ASCII text is its own canonical decomposition, so different ASCII texts are never equivalent.
    if (isAscii(a) && isAscii(b))
        return false;
    const std::size_t restart = restartBeforeFirstDifference(a, b);
    return canonicalDecomposition(a.substr(restart)) == canonicalDecomposition(b.substr(restart));
}

}  // namespace unicode
