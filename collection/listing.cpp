#include "collection/listing.h"

#include <string_view>

namespace quorvel {
namespace {

// An unreadable box has no summary: its counts read 0.
constexpr std::string_view kSelect =
    "SELECT b.id, b.path, s.title, coalesce(s.dvds_found, 0), coalesce(s.films_found, 0), "
    "s.year_min, s.year_max, s.fsk, s.genres, b.ean, b.status, b.reason "
    "FROM boxes b LEFT JOIN box_summary s ON s.box_id = b.id";

std::vector<BoxRow> Collect(Statement& select) {
    std::vector<BoxRow> rows;
    while (select.Step()) {
        BoxRow row;
        row.id = select.Int(0);
        row.path = select.Text(1);
        const size_t slash = row.path.rfind('/');
        row.fileName = slash == std::string::npos ? row.path : row.path.substr(slash + 1);
        row.title = select.OptionalText(2);
        row.dvdCount = select.Int(3);
        row.filmCount = select.Int(4);
        row.yearMin = select.OptionalInt(5);
        row.yearMax = select.OptionalInt(6);
        row.fsk = select.OptionalInt(7);
        row.genre = select.OptionalText(8);
        row.ean = select.OptionalText(9);
        row.status = select.Text(10);
        row.reason = select.OptionalText(11);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

std::vector<BoxRow> ListBoxes(Database& db) {
    Statement select = db.Prepare(std::string(kSelect) + " ORDER BY b.path");
    return Collect(select);
}

std::vector<BoxRow> ListBoxes(Database& db, const std::vector<int64_t>& ids) {
    // The ids go in as one bound JSON array, however many there are.
    std::string array = "[";
    for (const int64_t id : ids) {
        if (array.size() > 1) {
            array += ',';
        }
        array += std::to_string(id);
    }
    array += ']';
    Statement select = db.Prepare(
        std::string(kSelect) + " WHERE b.id IN (SELECT value FROM json_each(?)) ORDER BY b.path");
    select.Bind(1, array);
    return Collect(select);
}

}  // namespace quorvel
