#include "collection/query.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "app/text_util.h"

namespace quorvel {
namespace {

struct FieldWord {
    std::string_view name;
    TextColumnSet columns;  // 0: a number range, not text
};

// Bits of kTextColumns.
constexpr TextColumnSet kTitles = 0b111, kPersons = 1 << 3, kGenre = 1 << 6, kLanguages = 1 << 7,
                        kEan = 1 << 8;

constexpr std::array<FieldWord, 7> kFieldWords{{
    {"person", kPersons},
    {"titel", kTitles},
    {"genre", kGenre},
    {"sprache", kLanguages},
    {"ean", kEan},
    {"jahr", 0},
    {"fsk", 0},
}};

// Decimal digits only, at most nine of them, so no value overflows.
std::optional<int64_t> Number(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// "1990-1999", "1995", "1990-", "-1999".
std::optional<NumberRange> Range(std::string_view text) {
    const size_t dash = text.find('-');
    if (dash == std::string_view::npos) {
        const std::optional<int64_t> value = Number(text);
        return value ? std::optional<NumberRange>({*value, *value}) : std::nullopt;
    }
    const std::string_view lowText = text.substr(0, dash);
    const std::string_view highText = text.substr(dash + 1);
    const std::optional<int64_t> low =
        lowText.empty() ? std::optional<int64_t>(0) : Number(lowText);
    const std::optional<int64_t> high =
        highText.empty() ? std::optional<int64_t>(999999999) : Number(highText);
    if (!low || !high || (lowText.empty() && highText.empty())) {
        return std::nullopt;
    }
    return NumberRange{std::min(*low, *high), std::max(*low, *high)};
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

std::string Expression(const SearchTerm& term) {
    std::string out;
    if (term.columns != kAllTextColumns) {
        out += '{';
        for (size_t i = 0; i < kTextColumnCount; ++i) {
            if (term.columns & (TextColumnSet{1} << i)) {
                out += out.size() > 1 ? " " : "";
                out += kTextColumns[i];
            }
        }
        out += "} : ";
    }
    out += '"';
    for (size_t i = 0; i < term.tokens.size(); ++i) {
        if (i > 0) {
            out += ' ';
        }
        // Tokens hold letters and digits only; a quote is doubled all the same.
        for (const char c : term.tokens[i]) {
            out += c;
            if (c == '"') {
                out += '"';
            }
        }
    }
    out += '"';
    if (term.prefix) {
        out += " *";
    }
    return out;
}

std::string Join(const std::vector<SearchTerm>& terms, std::string_view glue) {
    std::string out;
    for (const SearchTerm& term : terms) {
        if (!out.empty()) {
            out += glue;
        }
        out += Expression(term);
    }
    return out;
}

}  // namespace

struct QueryTokenizer::Impl {
    fts5_tokenizer api{};
    Fts5Tokenizer* tokenizer = nullptr;
};

QueryTokenizer::QueryTokenizer(Database& db) : m_impl(new Impl) {
    // FTS5 hands out its API only through a pointer-typed parameter.
    fts5_api* fts = nullptr;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), "SELECT fts5(?1)", -1, &statement, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(statement, 1, static_cast<void*>(&fts), "fts5_api_ptr", nullptr);
        sqlite3_step(statement);
    }
    sqlite3_finalize(statement);
    void* userData = nullptr;
    const char* arguments[] = {"remove_diacritics", "2"};
    if (fts == nullptr ||
        fts->xFindTokenizer(fts, "unicode61", &userData, &m_impl->api) != SQLITE_OK ||
        m_impl->api.xCreate(userData, arguments, 2, &m_impl->tokenizer) != SQLITE_OK) {
        delete m_impl;
        throw SqliteError(SQLITE_ERROR, "the FTS5 unicode61 tokenizer is not available");
    }
}

QueryTokenizer::~QueryTokenizer() {
    if (m_impl->tokenizer != nullptr) {
        m_impl->api.xDelete(m_impl->tokenizer);
    }
    delete m_impl;
}

std::vector<std::string> QueryTokenizer::Tokens(std::string_view text) const {
    std::vector<std::string> tokens;
    const auto collect = [](void* context, int, const char* token, int size, int, int) {
        static_cast<std::vector<std::string>*>(context)->emplace_back(token,
                                                                      static_cast<size_t>(size));
        return SQLITE_OK;
    };
    m_impl->api.xTokenize(m_impl->tokenizer, &tokens, FTS5_TOKENIZE_QUERY, text.data(),
                          static_cast<int>(std::min<size_t>(text.size(), 1 << 20)), collect);
    return tokens;
}

std::string TranslatedQuery::AllTerms() const {
    return Join(terms, " AND ");
}

std::string TranslatedQuery::AnyTerm() const {
    return Join(terms, " OR ");
}

TranslatedQuery TranslateQuery(const QueryTokenizer& tokenizer, std::string_view input) {
    const std::string text = SanitizeUtf8(input);
    TranslatedQuery query;
    size_t pos = 0;
    // The index of the last plain word's term, which becomes a prefix.
    std::optional<size_t> lastPlain;
    bool endsInPhrase = false;
    while (pos < text.size()) {
        if (IsBlank(text[pos])) {
            ++pos;
            continue;
        }
        // A field word: a known name, a colon, then a word or "phrase".
        const FieldWord* field = nullptr;
        for (const FieldWord& candidate : kFieldWords) {
            const size_t end = pos + candidate.name.size();
            if (end < text.size() && text[end] == ':' &&
                EqualsIgnoreAsciiCase(std::string_view(text).substr(pos, candidate.name.size()),
                                      candidate.name)) {
                field = &candidate;
                pos = end + 1;
                break;
            }
        }
        std::string_view value;
        bool phrase = false;
        if (pos < text.size() && text[pos] == '"') {
            const size_t close = text.find('"', pos + 1);
            const size_t end = close == std::string::npos ? text.size() : close;
            value = std::string_view(text).substr(pos + 1, end - pos - 1);
            pos = close == std::string::npos ? text.size() : close + 1;
            phrase = true;
        } else {
            size_t end = pos;
            while (end < text.size() && !IsBlank(text[end]) && text[end] != '"') {
                ++end;
            }
            value = std::string_view(text).substr(pos, end - pos);
            pos = end;
        }
        endsInPhrase = phrase;
        if (field != nullptr && field->columns == 0) {
            if (const std::optional<NumberRange> range = Range(value)) {
                (field->name == "jahr" ? query.years : query.fsk) = range;
            }
            continue;
        }
        SearchTerm term;
        term.tokens = tokenizer.Tokens(value);
        term.columns = field != nullptr ? field->columns : kAllTextColumns;
        if (term.tokens.empty()) {
            continue;  // punctuation alone searches nothing
        }
        query.terms.push_back(std::move(term));
        if (!phrase) {
            lastPlain = query.terms.size() - 1;
        } else {
            lastPlain.reset();
        }
    }
    // Search as you type: the word being typed is still incomplete.
    if (lastPlain && *lastPlain + 1 == query.terms.size() && !endsInPhrase) {
        query.terms.back().prefix = true;
    }
    return query;
}

}  // namespace quorvel
