#include "live_dictation/word_errors.h"

#include <algorithm>
#include <cctype>
#include <numeric>

namespace voicepipe::bench {

std::vector<std::string> normalizedWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    const auto endWord = [&] {
        while (!word.empty() && word.back() == '\'')
            word.pop_back();
        if (!word.empty())
            words.push_back(word);
        word.clear();
    };
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte))
            word += static_cast<char>(std::tolower(byte));
        else if (c == '\'' && !word.empty())
            word += c;
        else
            endWord();
    }
    endWord();
    return words;
}

std::size_t wordErrors(const std::vector<std::string>& reference,
                       const std::vector<std::string>& hypothesis) {
    // One row of the edit-distance table at a time: row[j] is the distance between the reference
    // words so far and the first j words of the hypothesis.
    std::vector<std::size_t> row(hypothesis.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= reference.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= hypothesis.size(); ++j) {
            const std::size_t substitution =
                diagonal + (reference[i - 1] == hypothesis[j - 1] ? 0 : 1);
            diagonal = row[j];
            row[j] = std::min({substitution, row[j] + 1, row[j - 1] + 1});
        }
    }
    return row.back();
}

}  // namespace voicepipe::bench
