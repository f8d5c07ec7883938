// Searching the collection: boxes in rank order, each with its films that
// matched (see query.h for what a query may say).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "collection/query.h"
#include "collection/sqlite_db.h"

namespace quorvel {

struct FilmHit {
    int64_t filmId = 0;
    int64_t dvdPosition = 0;   // 0 for the box's first DVD
    int64_t filmPosition = 0;  // 0 for the DVD's first film
    std::optional<std::string> title;
    std::optional<int64_t> year;
};

struct BoxHit {
    int64_t boxId = 0;
    std::string path;
    std::optional<std::string> title;  // the box title, else the first DVD title
    // The films that carry a searched word and pass the year and FSK
    // filters, best first; empty when only box fields matched.
    std::vector<FilmHit> films;
};

struct SearchOptions {
    size_t limit = 0;   // at most this many boxes, the best; 0 for all
    bool films = true;  // find each box's matching films (costs a query per box)
    // Each box's path and title; without them only the ids, in a third of
    // the time, for a window that has the rows already.
    bool pathAndTitle = true;
};

// Hits for `query` as a user typed it; none for an empty query. Boxes are
// ranked by BM25 over the full-text columns (titles weigh most, then
// persons); a query of filters alone lists the boxes by path.
std::vector<BoxHit> SearchBoxes(Database& db, const QueryTokenizer& tokenizer,
                                std::string_view query, const SearchOptions& options = {});

// The matching films of `hits` (found with films = false), filled in: a
// window shows the boxes of a search at once and their films a moment later,
// a part at a time.
void FindMatchedFilms(Database& db, const QueryTokenizer& tokenizer, std::string_view query,
                      std::span<BoxHit> hits);

}  // namespace quorvel
