// Unicode text operations both helpers need and the standard library lacks: counting the characters
// a user sees, and comparing texts the way a user reads them.
//
// Both take UTF-8. A byte that is not part of a well-formed sequence (overlong forms, surrogates
// and code points above U+10FFFF included) stands for one U+FFFD of its own.
#pragma once

#include <cstddef>
#include <string_view>

namespace unicode {

// The number of extended grapheme clusters (what a user sees as characters) by Unicode's default
// text segmentation rules: CR LF, Hangul syllable sequences, combining and spacing marks, prepended
// characters, emoji ZWJ sequences and regional indicator pairs stay together. Each malformed byte
// counts as a U+FFFD, so a combining mark after it joins its cluster.
std::size_t graphemeClusterCount(std::string_view utf8);

// Whether the two texts have the same canonical decomposition, with combining marks in canonical
// order (so "é" equals "e" + U+0301, and a Hangul syllable equals its jamo). Malformed bytes are
// compared as bytes: a text with one is equivalent only to texts with the same malformed byte at
// the corresponding place, never to a literal U+FFFD.
bool canonicallyEquivalent(std::string_view a, std::string_view b);

}  // namespace unicode
