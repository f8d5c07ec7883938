#include "collection/search.h"

#include <algorithm>
#include <array>

#include "collection/film_match.h"

namespace quorvel {
namespace {

// The box title, else the first DVD title.
constexpr std::string_view kBoxTitle = "(SELECT s.title FROM box_summary s WHERE s.box_id = b.id)";

// The film filter's SQL: constant text chosen by which filters are set;
// their values are bound.
std::string FilmFilter(const TranslatedQuery& query, const char* film) {
    std::string sql;
    if (query.years) {
        sql += std::string(" AND ") + film + ".year BETWEEN :yearLow AND :yearHigh";
    }
    if (query.fsk) {
        sql += std::string(" AND ") + film + ".fsk BETWEEN :fskLow AND :fskHigh";
    }
    return sql;
}

void BindFilter(Statement& statement, const TranslatedQuery& query) {
    if (query.years) {
        statement.BindNamed(":yearLow", query.years->low).BindNamed(":yearHigh", query.years->high);
    }
    if (query.fsk) {
        statement.BindNamed(":fskLow", query.fsk->low).BindNamed(":fskHigh", query.fsk->high);
    }
}

}  // namespace

std::vector<BoxHit> SearchBoxes(Database& db, const QueryTokenizer& tokenizer,
                                std::string_view text, const SearchOptions& options) {
    const TranslatedQuery query = TranslateQuery(tokenizer, text);
    std::vector<BoxHit> hits;
    if (query.Empty()) {
        return hits;
    }
    const bool filtered = query.years || query.fsk;
    const std::string filter = FilmFilter(query, "f");
    // Without path and title, words alone need not even reach the boxes table.
    const bool ftsOnly = !options.pathAndTitle && !filtered && !query.terms.empty();
    std::string sql = options.pathAndTitle ? "SELECT b.id, b.path, " + std::string(kBoxTitle)
                      : ftsOnly            ? std::string("SELECT box_fts.rowid, '', NULL")
                                           : std::string("SELECT b.id, '', NULL");
    if (ftsOnly) {
        sql += " FROM box_fts WHERE box_fts MATCH :match";
    } else if (!query.terms.empty()) {
        sql += " FROM box_fts JOIN boxes b ON b.id = box_fts.rowid WHERE box_fts MATCH :match";
    } else {
        sql += " FROM boxes b WHERE 1";
    }
    if (filtered) {
        sql += " AND EXISTS (SELECT 1 FROM films f WHERE f.box_id = b.id" + filter + ")";
    }
    sql += query.terms.empty() ? " ORDER BY b.path" : " ORDER BY box_fts.rank";
    if (options.limit > 0) {
        sql += " LIMIT :limit";
    }
    Statement boxes = db.Prepare(sql);
    if (!query.terms.empty()) {
        boxes.BindNamed(":match", query.AllTerms());
    }
    BindFilter(boxes, query);
    if (options.limit > 0) {
        boxes.BindNamed(":limit", static_cast<int64_t>(options.limit));
    }
    while (boxes.Step()) {
        hits.push_back({boxes.Int(0), boxes.Text(1), boxes.OptionalText(2), {}});
    }

    if (options.films) {
        FindMatchedFilms(db, tokenizer, text, hits);
    }
    return hits;
}

void FindMatchedFilms(Database& db, const QueryTokenizer& tokenizer, std::string_view text,
                      std::span<BoxHit> hits) {
    const TranslatedQuery query = TranslateQuery(tokenizer, text);
    if (query.Empty()) {
        return;
    }
    // Each hit box's films with their full-text columns, matched here.
    std::string filmSql = "SELECT f.id, d.position, f.position, f.title, f.year, f.fsk";
    for (const char* column : kTextColumns) {
        filmSql += std::string(", t.") + column;
    }
    filmSql +=
        " FROM films f JOIN dvds d ON d.id = f.dvd_id JOIN film_text t ON t.film_id = f.id "
        "WHERE f.box_id = ? ORDER BY f.id";
    Statement films = db.Prepare(filmSql);
    const FilmMatcher matcher(tokenizer, query);
    const auto inRange = [](const std::optional<NumberRange>& range, const Statement& row,
                            int column) {
        return !range || (!row.IsNull(column) && row.Int(column) >= range->low &&
                          row.Int(column) <= range->high);
    };
    for (BoxHit& hit : hits) {
        std::vector<std::pair<int, FilmHit>> scored;
        films.Bind(1, hit.boxId);
        while (films.Step()) {
            if (!inRange(query.years, films, 4) || !inRange(query.fsk, films, 5)) {
                continue;
            }
            std::array<std::string, kTextColumnCount> texts;
            std::array<std::string_view, kTextColumnCount> views;
            for (size_t i = 0; i < kTextColumnCount; ++i) {
                texts[i] = films.Text(static_cast<int>(6 + i));
                views[i] = texts[i];
            }
            const int score = query.terms.empty() ? 1 : matcher.Score(views);
            if (score > 0) {
                scored.emplace_back(score, FilmHit{films.Int(0), films.Int(1), films.Int(2),
                                                   films.OptionalText(3), films.OptionalInt(4)});
            }
        }
        films.Reset();
        // More of the query's words first, then in the box's order.
        std::stable_sort(scored.begin(), scored.end(),
                         [](const auto& a, const auto& b) { return a.first > b.first; });
        for (auto& [score, film] : scored) {
            hit.films.push_back(std::move(film));
        }
    }
}

}  // namespace quorvel
