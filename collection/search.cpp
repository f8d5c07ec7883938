#include "collection/search.h"

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

    // A box's films have one range of ids; the film index is asked within it.
    Statement range = db.Prepare("SELECT min(id), max(id) FROM films WHERE box_id = ?");
    std::string filmSql =
        "SELECT f.id, d.position, f.position, f.title, f.year FROM films f JOIN dvds d ON d.id = "
        "f.dvd_id";
    if (!query.terms.empty()) {
        filmSql +=
            " JOIN film_fts ON film_fts.rowid = f.id WHERE film_fts MATCH :match AND "
            "film_fts.rowid BETWEEN :low AND :high" +
            filter + " ORDER BY film_fts.rank";
    } else {
        filmSql += " WHERE f.id BETWEEN :low AND :high" + filter + " ORDER BY f.id";
    }
    Statement films = db.Prepare(filmSql);
    const std::string anyTerm = query.AnyTerm();
    for (BoxHit& hit : hits) {
        range.Bind(1, hit.boxId);
        const bool hasFilms = range.Step() && !range.IsNull(0);
        const int64_t low = hasFilms ? range.Int(0) : 0;
        const int64_t high = hasFilms ? range.Int(1) : 0;
        range.Reset();
        if (!hasFilms) {
            continue;
        }
        if (!query.terms.empty()) {
            films.BindNamed(":match", anyTerm);
        }
        films.BindNamed(":low", low).BindNamed(":high", high);
        BindFilter(films, query);
        while (films.Step()) {
            hit.films.push_back({films.Int(0), films.Int(1), films.Int(2), films.OptionalText(3),
                                 films.OptionalInt(4)});
        }
        films.Reset();
    }
    return hits;
}

}  // namespace quorvel
