// A search as a user types it, translated into an FTS5 match expression and
// film filters. Every text is a valid query: the words are cut into tokens
// by the very tokenizer the index uses, and only those tokens reach the
// expression, so no character a user types can be read as FTS5 syntax.
//
// Grammar: words separated by blanks are all required, in any field; the
// last plain word also matches as a prefix; "quoted words" form a phrase;
// field words restrict a word or phrase to fields: person:, titel:, genre:,
// sprache:, ean: (person:"brückner ilse" too); jahr:1990-1999, jahr:1995,
// jahr:1990- and jahr:-1999 keep films of those years, fsk:12 and fsk:6-16
// films of those ratings. A field word with an empty or unreadable value
// is left out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "collection/sqlite_db.h"
#include "collection/text_columns.h"

namespace quorvel {

// The index's tokenizer (unicode61, diacritics removed), borrowed from the
// database connection's FTS5 module.
class QueryTokenizer {
public:
    explicit QueryTokenizer(Database& db);
    ~QueryTokenizer();
    QueryTokenizer(const QueryTokenizer&) = delete;
    QueryTokenizer& operator=(const QueryTokenizer&) = delete;

    // The tokens of `text` as the index holds them (lower case, no accents).
    std::vector<std::string> Tokens(std::string_view text) const;

private:
    struct Impl;
    Impl* m_impl;
};

struct NumberRange {
    int64_t low = 0;
    int64_t high = 0;
    bool operator==(const NumberRange&) const = default;
};

struct SearchTerm {
    std::vector<std::string> tokens;          // a phrase when more than one
    bool prefix = false;                      // the last token also as a prefix
    TextColumnSet columns = kAllTextColumns;  // where it may stand
};

struct TranslatedQuery {
    std::vector<SearchTerm> terms;
    std::optional<NumberRange> years;
    std::optional<NumberRange> fsk;

    bool Empty() const { return terms.empty() && !years && !fsk; }
    // All terms required: what a box must match; empty without terms.
    std::string AllTerms() const;
    // Any term: what a film of a matching box must match to be listed.
    std::string AnyTerm() const;
};

TranslatedQuery TranslateQuery(const QueryTokenizer& tokenizer, std::string_view text);

}  // namespace quorvel
