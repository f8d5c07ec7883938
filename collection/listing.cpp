#include "collection/listing.h"

#include <string_view>

namespace quorvel {
namespace {

constexpr std::string_view kSelect =
    "SELECT b.id, b.path, coalesce(b.title, (SELECT d.title FROM dvds d WHERE d.box_id = b.id "
    "AND d.title IS NOT NULL ORDER BY d.position LIMIT 1)), "
    "(SELECT count(*) FROM dvds d WHERE d.box_id = b.id), "
    "(SELECT count(*) FROM films f WHERE f.box_id = b.id), "
    "(SELECT min(year) FROM films f WHERE f.box_id = b.id), "
    "(SELECT max(year) FROM films f WHERE f.box_id = b.id), "
    "(SELECT max(fsk) FROM films f WHERE f.box_id = b.id), "
    "(SELECT group_concat(genre, ', ') FROM (SELECT DISTINCT genre FROM films f WHERE f.box_id = "
    "b.id AND genre IS NOT NULL ORDER BY f.id)), "
    "b.ean, b.status, b.reason FROM boxes b";

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
