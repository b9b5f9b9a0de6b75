#include "unicode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "utf.h"

namespace {

const std::string kUnicodeDataDir = "/usr/share/unicode";

std::string encodeUtf8(char32_t codePoint) {
    std::string out;
    utf::appendUtf8(out, codePoint);
    return out;
}

// "0044 0323" -> the UTF-8 text of those code points.
std::string textOfHexCodePoints(const std::string& hexList) {
    std::istringstream words(hexList);
    std::string text;
    for (std::string hex; words >> hex;)
        text += encodeUtf8(std::stoul(hex, nullptr, 16));
    return text;
}

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Collects the failing lines of a data file and reports the first few, so a broken rule does not
// bury the output under thousands of messages.
class FailureLog {
  public:
    void add(const std::string& line) {
        ++count_;
        if (count_ <= kShown)
            shown_ += "\n  " + line;
    }
    void expectNone(const std::string& file) const {
        EXPECT_EQ(count_, 0) << count_ << " failing lines in " << file << ", first:" << shown_;
    }

  private:
    static constexpr int kShown = 10;
    int count_ = 0;
    std::string shown_;
};

TEST(GraphemeClusterCount, MatchesEveryLineOfTheConformanceFile) {
    const std::string path = kUnicodeDataDir + "/auxiliary/GraphemeBreakTest.txt";
    std::ifstream file(path);
    ASSERT_TRUE(file) << "cannot read " << path;
    FailureLog failures;
    int cases = 0;
    for (std::string line; std::getline(file, line);) {
        const std::string sequence = line.substr(0, line.find('#'));
        std::istringstream tokens(sequence);
        std::string text;
        std::size_t breaks = 0;
        for (std::string token; tokens >> token;) {
            if (token == "÷") {
                ++breaks;
            } else if (token != "×") {
                text += encodeUtf8(std::stoul(token, nullptr, 16));
            }
        }
        if (text.empty())
            continue;
        ++cases;
        // The line marks a break before the first and after the last character too.
        const std::size_t expected = breaks - 1;
        const std::size_t counted = unicode::graphemeClusterCount(text);
        if (counted != expected) {
            failures.add(sequence + " counted " + std::to_string(counted));
        }
    }
    EXPECT_GT(cases, 600);
    failures.expectNone(path);
}

TEST(GraphemeClusterCount, CountsAsciiCharactersWithCrLfAsOne) {
    EXPECT_EQ(unicode::graphemeClusterCount(""), 0u);
    EXPECT_EQ(unicode::graphemeClusterCount("hello"), 5u);
    EXPECT_EQ(unicode::graphemeClusterCount("a\r\nb"), 3u);
    EXPECT_EQ(unicode::graphemeClusterCount("\r\r\n\n\r"), 4u);
    // The same inside text that is not ASCII throughout.
    EXPECT_EQ(unicode::graphemeClusterCount("é\r\n\r\n"), 3u);
}

TEST(GraphemeClusterCount, KeepsMarksWithTheirBase) {
    EXPECT_EQ(unicode::graphemeClusterCount("e\u0301"), 1u);
    EXPECT_EQ(unicode::graphemeClusterCount("e\u0301\u0316x"), 2u);
    EXPECT_EQ(unicode::graphemeClusterCount("\u0915\u093F"), 1u);  // Devanagari ki: spacing mark.
    EXPECT_EQ(unicode::graphemeClusterCount("\u06001"), 1u);       // Number sign prepended to "1".
}

TEST(GraphemeClusterCount, KeepsEmojiZwjSequencesAndFlagPairsTogether) {
    const std::string family = "\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466";
    EXPECT_EQ(unicode::graphemeClusterCount(family), 1u);
    EXPECT_EQ(unicode::graphemeClusterCount(family + family), 2u);
    EXPECT_EQ(unicode::graphemeClusterCount("\U0001F44D\U0001F3FD"), 1u);  // Skin tone modifier.
    // A joiner after a letter does not glue the next emoji to it.
    EXPECT_EQ(unicode::graphemeClusterCount("a\u200D\U0001F600"), 2u);
    EXPECT_EQ(unicode::graphemeClusterCount("a\u0301\u200D\U0001F600"), 2u);

    const std::string germany = "\U0001F1E9\U0001F1EA";
    const std::string france = "\U0001F1EB\U0001F1F7";
    EXPECT_EQ(unicode::graphemeClusterCount(germany + france), 2u);
    EXPECT_EQ(unicode::graphemeClusterCount(germany + "\U0001F1EB"), 2u);
    EXPECT_EQ(unicode::graphemeClusterCount("x" + germany + france + germany), 4u);
}

TEST(GraphemeClusterCount, JoinsHangulJamoIntoSyllables) {
    EXPECT_EQ(unicode::graphemeClusterCount("\u1100\u1161\u11A8"), 1u);  // L V T
    EXPECT_EQ(unicode::graphemeClusterCount("\uAC00\u11A8"), 1u);        // LV T
    EXPECT_EQ(unicode::graphemeClusterCount("\uAC00\u1161"), 1u);        // LV V
    EXPECT_EQ(unicode::graphemeClusterCount("\uAC01\u1161"), 2u);        // LVT V
    EXPECT_EQ(unicode::graphemeClusterCount("\uD55C\uAD6D\uC5B4"), 3u);  // Three syllables.
}

TEST(GraphemeClusterCount, CountsEachMalformedByteAsOneReplacementCharacter) {
    EXPECT_EQ(unicode::graphemeClusterCount("\x80"), 1u);
    EXPECT_EQ(unicode::graphemeClusterCount("a\xFF-"), 3u);
    EXPECT_EQ(unicode::graphemeClusterCount("\xE2\x82"), 2u);          // Truncated sequence.
    EXPECT_EQ(unicode::graphemeClusterCount("\xC0\xAF"), 2u);          // Overlong slash.
    EXPECT_EQ(unicode::graphemeClusterCount("\xED\xA0\x80"), 3u);      // Encoded surrogate.
    EXPECT_EQ(unicode::graphemeClusterCount("\xF4\x90\x80\x80"), 4u);  // Above U+10FFFF.
    EXPECT_EQ(unicode::graphemeClusterCount("\x80\u0301"), 1u);        // A mark joins U+FFFD.
}

using FilePtr = std::unique_ptr<FILE, int (*)(FILE*)>;

TEST(CanonicallyEquivalent, AgreesWithEveryLineOfTheNormalizationTestFile) {
    const std::string path = kUnicodeDataDir + "/NormalizationTest.txt.bz2";
    FilePtr pipe(popen(("bzcat " + path).c_str(), "r"), pclose);
    ASSERT_TRUE(pipe) << "cannot run bzcat";
    FailureLog failures;
    int cases = 0;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe.get())) {
        const std::string line = buffer;
        if (line.empty() || line[0] == '#' || line[0] == '@')
            continue;
        std::vector<std::string> columns;
        std::istringstream fields(line.substr(0, line.find('#')));
        for (std::string field; std::getline(fields, field, ';') && columns.size() < 5;) {
            columns.push_back(textOfHexCodePoints(field));
        }
        ASSERT_EQ(columns.size(), 5u) << line;
        ++cases;
        const std::string& c1 = columns[0];
        const std::string& c2 = columns[1];
        const std::string& c3 = columns[2];
        const std::string& c4 = columns[3];
        const std::string& c5 = columns[4];
        // Columns 3 and 5 are decompositions: the compatibility forms are canonically equivalent
        // to the source exactly when the two decompositions are the same text.
        const bool expectedSourceToCompatibility = c3 == c5;
        if (!unicode::canonicallyEquivalent(c1, c2) || !unicode::canonicallyEquivalent(c2, c3) ||
            !unicode::canonicallyEquivalent(c3, c1) || !unicode::canonicallyEquivalent(c4, c5) ||
            unicode::canonicallyEquivalent(c1, c4) != expectedSourceToCompatibility) {
            failures.add(line.substr(0, line.find('#')));
        }
    }
    EXPECT_EQ(pclose(pipe.release()), 0) << "bzcat failed on " << path;
    EXPECT_GT(cases, 18000);
    failures.expectNone(path);
}

TEST(CanonicallyEquivalent, MatchesPrecomposedAndDecomposedForms) {
    EXPECT_TRUE(unicode::canonicallyEquivalent("caf\u00E9", "cafe\u0301"));
    EXPECT_FALSE(unicode::canonicallyEquivalent("caf\u00E9", "cafe"));
    // A precomposed letter with a mark below, then a mark above, against the fully decomposed form.
    EXPECT_TRUE(unicode::canonicallyEquivalent("\u1EA1\u0308", "a\u0308\u0323"));
    EXPECT_TRUE(unicode::canonicallyEquivalent("\u212A", "K"));    // Kelvin sign, a singleton.
    EXPECT_FALSE(unicode::canonicallyEquivalent("\uFB01", "fi"));  // Only a compatibility form.
    EXPECT_FALSE(unicode::canonicallyEquivalent("A", "a"));
}

// Marks of combining class 220 (below); U+0300..U+030B are all of class 230 (above).
constexpr char32_t kBelowMarks[] = {0x0316, 0x0317, 0x0318, 0x0319, 0x031C, 0x031D,
                                    0x031E, 0x031F, 0x0320, 0x0323, 0x0324, 0x0325};

TEST(CanonicallyEquivalent, ReordersMarksOnlyAcrossDifferentCombiningClasses) {
    // Acute (above) and grave-below (below) commute; acute and grave (both above) do not.
    EXPECT_TRUE(unicode::canonicallyEquivalent("a\u0301\u0316", "a\u0316\u0301"));
    EXPECT_FALSE(unicode::canonicallyEquivalent("a\u0301\u0300", "a\u0300\u0301"));
    // A long stack of distinct marks of two classes: the classes sort apart, and each class keeps
    // its own order.
    std::string interleaved = "a";
    std::string above;
    std::string aboveReversed;
    std::string below;
    for (char32_t i = 0; i < 12; ++i) {
        interleaved += encodeUtf8(0x0300 + i) + encodeUtf8(kBelowMarks[i]);
        above += encodeUtf8(0x0300 + i);
        aboveReversed = encodeUtf8(0x0300 + i) + aboveReversed;
        below += encodeUtf8(kBelowMarks[i]);
    }
    EXPECT_TRUE(unicode::canonicallyEquivalent(interleaved, "a" + below + above));
    EXPECT_FALSE(unicode::canonicallyEquivalent(interleaved, "a" + below + aboveReversed));
    // Built by appending: GCC 12 warns falsely (-Wrestrict) on "a" + repeated(...) at -O3.
    std::string acutesFirst = "a";
    acutesFirst += repeated("\u0301", 40) + "\u0300";
    std::string graveFirst = "a\u0300";
    graveFirst += repeated("\u0301", 40);
    EXPECT_FALSE(unicode::canonicallyEquivalent(acutesFirst, graveFirst));
    // A starter between the marks stops reordering.
    EXPECT_FALSE(unicode::canonicallyEquivalent("a\u0301b\u0316", "a\u0316b\u0301"));
}

TEST(CanonicallyEquivalent, ComparesDifferencesAfterASharedBeginningInContext) {
    const std::string shared = "The quick brown fox ";
    EXPECT_TRUE(unicode::canonicallyEquivalent(shared + "caf\u00E9", shared + "cafe\u0301"));
    EXPECT_FALSE(unicode::canonicallyEquivalent(shared + "caf\u00E9", shared + "cafe"));
    // The texts first differ inside a mark that begins with the same byte as the other one.
    EXPECT_TRUE(unicode::canonicallyEquivalent(shared + "e\u0301\u0316", shared + "e\u0316\u0301"));
    EXPECT_FALSE(
        unicode::canonicallyEquivalent(shared + "e\u0301\u0300", shared + "e\u0300\u0301"));
    EXPECT_TRUE(unicode::canonicallyEquivalent(shared + "\u00E9\u0316", shared + "e\u0316\u0301"));
}

TEST(CanonicallyEquivalent, DecomposesHangulSyllablesIntoJamo) {
    EXPECT_TRUE(unicode::canonicallyEquivalent("\uD55C", "\u1112\u1161\u11AB"));
    EXPECT_TRUE(unicode::canonicallyEquivalent("\uAC00\u11A8", "\uAC01"));
    EXPECT_FALSE(unicode::canonicallyEquivalent("\uAC00", "\uAC01"));
}

TEST(CanonicallyEquivalent, ComparesMalformedBytesAsThemselves) {
    EXPECT_TRUE(unicode::canonicallyEquivalent("\u00E9\x80", "e\u0301\x80"));
    EXPECT_FALSE(unicode::canonicallyEquivalent("\x80", "\x81"));
    EXPECT_FALSE(unicode::canonicallyEquivalent("\x80", "\uFFFD"));
    EXPECT_FALSE(unicode::canonicallyEquivalent("\xE2\x82", "\xE2\x82\xAC"));
    // A malformed byte is a starter: marks do not move across it.
    EXPECT_FALSE(unicode::canonicallyEquivalent("a\x80\u0301", "a\u0301\x80"));
}

}  // namespace
