// Word errors of a transcription against what was said.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace voicepipe::bench {

// The words of a text in lower case, without punctuation (apostrophes inside words kept).
std::vector<std::string> normalizedWords(const std::string& text);

// Substitutions, deletions and insertions that turn `reference` into `hypothesis`, at least.
std::size_t wordErrors(const std::vector<std::string>& reference,
                       const std::vector<std::string>& hypothesis);

}  // namespace voicepipe::bench
