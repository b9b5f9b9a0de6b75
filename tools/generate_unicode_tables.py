#!/usr/bin/env python3
"""Writes common/unicode_tables.h from the Unicode character database.

The tables hold what common/unicode.cpp cannot compute: each code point's grapheme cluster break
property (Extended_Pictographic folded in), its canonical combining class, and its full canonical
decomposition. Hangul syllables are left to the algorithm in unicode.cpp; this script checks that
the database agrees with it.

Usage: tools/generate_unicode_tables.py [--data-dir /usr/share/unicode] [--output PATH]
The data comes from Debian's unicode-data package. The output depends only on the data files.
"""

import argparse
import pathlib
import re
import sys

HANGUL_SYLLABLE_FIRST = 0xAC00
HANGUL_SYLLABLE_LAST = 0xD7A3
HANGUL_TRAILING_COUNT = 28
MAX_DECOMPOSITION_LENGTH = 4

# Grapheme break values as the data files spell them, mapped to the enumerator names in C++.
# LV and LVT are both Hangul syllables; unicode.cpp tells them apart arithmetically.
GRAPHEME_BREAK_NAMES = {
    "CR": "CR",
    "LF": "LF",
    "Control": "Control",
    "Extend": "Extend",
    "ZWJ": "ZWJ",
    "Regional_Indicator": "RegionalIndicator",
    "Prepend": "Prepend",
    "SpacingMark": "SpacingMark",
    "L": "L",
    "V": "V",
    "T": "T",
    "LV": "HangulSyllable",
    "LVT": "HangulSyllable",
}
GRAPHEME_BREAK_ENUMERATORS = [
    "Other", "CR", "LF", "Control", "Extend", "ZWJ", "RegionalIndicator", "Prepend",
    "SpacingMark", "L", "V", "T", "LV", "LVT", "HangulSyllable", "ExtendedPictographic",
]


def fail(message):
    sys.exit(f"generate_unicode_tables: {message}")


def read_version(path, pattern):
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            match = re.search(pattern, line)
            if match:
                return match.group(1)
    fail(f"no version line in {path}")


def property_lines(path):
    """Yields (first, last, value) for every data line of a `range ; value # comment` file."""
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            code_points, value = (field.strip() for field in line.split(";")[:2])
            first, _, last = code_points.partition("..")
            yield int(first, 16), int(last or first, 16), value


def read_grapheme_breaks(data_dir):
    breaks = {}
    for first, last, value in property_lines(data_dir / "auxiliary/GraphemeBreakProperty.txt"):
        if value not in GRAPHEME_BREAK_NAMES:
            fail(f"unknown grapheme break value {value}")
        for code_point in range(first, last + 1):
            breaks[code_point] = GRAPHEME_BREAK_NAMES[value]
            if value in ("LV", "LVT"):
                check_hangul_syllable(code_point, value)
    for first, last, value in property_lines(data_dir / "emoji/emoji-data.txt"):
        if value != "Extended_Pictographic":
            continue
        for code_point in range(first, last + 1):
            # Folding the two properties into one value is sound only while they never overlap.
            if code_point in breaks:
                fail(f"U+{code_point:04X} is Extended_Pictographic and {breaks[code_point]}")
            breaks[code_point] = "ExtendedPictographic"
    return breaks


def check_hangul_syllable(code_point, value):
    if not HANGUL_SYLLABLE_FIRST <= code_point <= HANGUL_SYLLABLE_LAST:
        fail(f"U+{code_point:04X} is {value} outside the Hangul syllables")
    has_trailing = (code_point - HANGUL_SYLLABLE_FIRST) % HANGUL_TRAILING_COUNT != 0
    if has_trailing != (value == "LVT"):
        fail(f"U+{code_point:04X} is {value}, the syllable arithmetic disagrees")


def read_unicode_data(data_dir):
    """Returns the non-zero combining classes and the direct canonical decompositions."""
    combining_classes = {}
    decompositions = {}
    with open(data_dir / "UnicodeData.txt", encoding="utf-8") as lines:
        for line in lines:
            fields = line.rstrip("\n").split(";")
            code_point = int(fields[0], 16)
            if int(fields[3]):
                combining_classes[code_point] = int(fields[3])
            mapping = fields[5]
            # A <tag> marks a compatibility mapping, which canonical equivalence ignores.
            if mapping and not mapping.startswith("<"):
                if HANGUL_SYLLABLE_FIRST <= code_point <= HANGUL_SYLLABLE_LAST:
                    fail(f"U+{code_point:04X}: Hangul syllables are decomposed arithmetically")
                decompositions[code_point] = [int(part, 16) for part in mapping.split()]
    return combining_classes, decompositions


def full_decomposition(code_point, decompositions):
    if code_point not in decompositions:
        return [code_point]
    return [part for direct in decompositions[code_point]
            for part in full_decomposition(direct, decompositions)]


def ranges_of(values):
    """Merges consecutive code points with the same value into (first, last, value) ranges."""
    ranges = []
    for code_point in sorted(values):
        value = values[code_point]
        if ranges and ranges[-1][1] == code_point - 1 and ranges[-1][2] == value:
            ranges[-1][1] = code_point
        else:
            ranges.append([code_point, code_point, value])
    return ranges


def grapheme_break_table(breaks):
    rows = [f"    {{0x{first:04X}, 0x{last:04X}, GraphemeBreak::{value}}},"
            for first, last, value in ranges_of(breaks)]
    return "\n".join(rows)


def combining_class_table(combining_classes):
    rows = [f"    {{0x{first:04X}, 0x{last:04X}, {value}}},"
            for first, last, value in ranges_of(combining_classes)]
    return "\n".join(rows)


def decomposition_table(decompositions):
    rows = []
    for code_point in sorted(decompositions):
        parts = full_decomposition(code_point, decompositions)
        if len(parts) > MAX_DECOMPOSITION_LENGTH:
            fail(f"U+{code_point:04X} decomposes into {len(parts)} code points")
        listed = ", ".join(f"0x{part:04X}" for part in parts)
        rows.append(f"    {{0x{code_point:04X}, {{{listed}}}}},")
    return "\n".join(rows)


def render(version, breaks, combining_classes, decompositions):
    enumerators = ",\n    ".join(GRAPHEME_BREAK_ENUMERATORS)
    return f"""\
// Generated by tools/generate_unicode_tables.py from the Unicode {version} character database
// (UnicodeData.txt, auxiliary/GraphemeBreakProperty.txt, emoji/emoji-data.txt of Debian's
// unicode-data package). Do not edit; run the script again instead.
//
// Every table is sorted by code point for binary search. Code points a table does not list have
// the grapheme break property Other, combining class 0, or no canonical decomposition. Hangul
// syllables (U+AC00..U+D7A3) are decomposed arithmetically and are not in the decomposition table.
// clang-format off
#pragma once

#include <cstdint>

namespace unicode::tables {{

// Grapheme cluster break property, with Extended_Pictographic (never set on a code point with
// another break property) as one more value. The table marks all precomposed Hangul syllables as
// HangulSyllable; a lookup resolves that to LV or LVT by the syllable arithmetic.
enum class GraphemeBreak : std::uint8_t {{
    {enumerators},
}};

struct GraphemeBreakRange {{
    char32_t first;
    char32_t last;
    GraphemeBreak property;
}};

inline constexpr GraphemeBreakRange kGraphemeBreakRanges[] = {{
{grapheme_break_table(breaks)}
}};

struct CombiningClassRange {{
    char32_t first;
    char32_t last;
    std::uint8_t combiningClass;
}};

inline constexpr CombiningClassRange kCombiningClassRanges[] = {{
{combining_class_table(combining_classes)}
}};

inline constexpr int kMaxDecompositionLength = {MAX_DECOMPOSITION_LENGTH};

// The full canonical decomposition (applied recursively, not yet in canonical order), padded with
// zeros; U+0000 never occurs in a decomposition.
struct Decomposition {{
    char32_t codePoint;
    char32_t parts[kMaxDecompositionLength];
}};

inline constexpr Decomposition kDecompositions[] = {{
{decomposition_table(decompositions)}
}};

}}  // namespace unicode::tables
// clang-format on
"""


def main():
    repository = pathlib.Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data-dir", type=pathlib.Path, default=pathlib.Path("/usr/share/unicode"))
    parser.add_argument("--output", type=pathlib.Path,
                        default=repository / "common" / "unicode_tables.h")
    arguments = parser.parse_args()
    data_dir = arguments.data_dir

    version = read_version(data_dir / "auxiliary/GraphemeBreakProperty.txt",
                           r"GraphemeBreakProperty-(\d+\.\d+\.\d+)\.txt")
    normalization_version = read_version(data_dir / "DerivedNormalizationProps.txt",
                                         r"DerivedNormalizationProps-(\d+\.\d+\.\d+)\.txt")
    if normalization_version != version:
        fail(f"data files of versions {version} and {normalization_version} are mixed")

    breaks = read_grapheme_breaks(data_dir)
    combining_classes, decompositions = read_unicode_data(data_dir)
    arguments.output.write_text(render(version, breaks, combining_classes, decompositions),
                                encoding="utf-8")


if __name__ == "__main__":
    main()
