// Which films of a matching box carry a searched word. Asked of the film's
// own texts, cut by the index's tokenizer, rather than of the film index:
// a prefix of one letter would make FTS5 merge the postings of every word
// with that letter once per box.
#pragma once

#include <array>
#include <string_view>

#include "collection/query.h"
#include "collection/text_columns.h"

namespace quorvel {

class FilmMatcher {
public:
    // Both must outlive the matcher.
    FilmMatcher(const QueryTokenizer& tokenizer, const TranslatedQuery& query)
        : m_tokenizer(tokenizer), m_query(query) {}

    // How many of the query's terms the film's texts (by full-text column)
    // hold, as FTS5 would find them: a phrase as consecutive tokens, the
    // prefix term's last token as a prefix, a field word only in its fields.
    int Score(const std::array<std::string_view, kTextColumnCount>& columns) const;

private:
    const QueryTokenizer& m_tokenizer;
    const TranslatedQuery& m_query;
};

}  // namespace quorvel
