#include "collection/film_match.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvel {
namespace {

bool HoldsAt(const std::vector<std::string>& text, size_t at, const SearchTerm& term) {
    const size_t count = term.tokens.size();
    for (size_t i = 0; i < count; ++i) {
        const std::string& want = term.tokens[i];
        const std::string& have = text[at + i];
        const bool last = i + 1 == count;
        if (last && term.prefix ? have.compare(0, want.size(), want) != 0 : have != want) {
            return false;
        }
    }
    return true;
}

bool Holds(const std::vector<std::string>& text, const SearchTerm& term) {
    const size_t count = term.tokens.size();
    for (size_t at = 0; at + count <= text.size(); ++at) {
        if (HoldsAt(text, at, term)) {
            return true;
        }
    }
    return false;
}

}  // namespace

int FilmMatcher::Score(const std::array<std::string_view, kTextColumnCount>& columns) const {
    // Each column is cut once, and only when some term may stand in it.
    std::array<std::optional<std::vector<std::string>>, kTextColumnCount> tokens;
    int score = 0;
    for (const SearchTerm& term : m_query.terms) {
        for (size_t column = 0; column < kTextColumnCount; ++column) {
            if ((term.columns & (TextColumnSet{1} << column)) == 0 || columns[column].empty()) {
                continue;
            }
            if (!tokens[column]) {
                tokens[column] = m_tokenizer.Tokens(columns[column]);
            }
            if (Holds(*tokens[column], term)) {
                ++score;
                break;
            }
        }
    }
    return score;
}

}  // namespace quorvel
