#include "collection/search.h"

#include <unordered_map>

namespace quorvel {
namespace {

// "b.title else the first DVD title", shared with the listing.
constexpr std::string_view kBoxTitle =
    "coalesce(b.title, (SELECT d.title FROM dvds d WHERE d.box_id = b.id AND d.title IS NOT "
    "NULL ORDER BY d.position LIMIT 1))";

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
    std::string sql = "SELECT b.id, b.path, " + std::string(kBoxTitle);
    if (!query.terms.empty()) {
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

    // The matching films of every box in one query, handed to their boxes
    // in rank order: a query per box costs seconds on a common word.
    std::unordered_map<int64_t, BoxHit*> byBox;
    byBox.reserve(hits.size());
    for (BoxHit& hit : hits) {
        byBox.emplace(hit.boxId, &hit);
    }
    std::string filmSql =
        "SELECT f.box_id, f.id, d.position, f.position, f.title, f.year FROM films f JOIN dvds d "
        "ON d.id = f.dvd_id";
    if (!query.terms.empty()) {
        filmSql += " JOIN film_fts ON film_fts.rowid = f.id WHERE film_fts MATCH :match" + filter +
                   " ORDER BY film_fts.rank, f.id";
    } else {
        filmSql += " WHERE 1" + filter + " ORDER BY f.id";
    }
    Statement films = db.Prepare(filmSql);
    if (!query.terms.empty()) {
        films.BindNamed(":match", query.AnyTerm());
    }
    BindFilter(films, query);
    while (films.Step()) {
        const auto box = byBox.find(films.Int(0));
        if (box != byBox.end()) {
            box->second->films.push_back({films.Int(1), films.Int(2), films.Int(3),
                                          films.OptionalText(4), films.OptionalInt(5)});
        }
    }
    return hits;
}

}  // namespace quorvel
