// A box read for the index turned into the rows the database stores, every
// text already UTF-8 and every full-text column already joined. Made on the
// reading threads, so the one writer only binds and steps.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collection/box_read.h"
#include "collection/record_columns.h"
#include "collection/text_columns.h"

namespace quorvel {

// The searchable texts of a film or a whole box, by full-text column;
// several values of one column are joined by line ends.
using SearchText = std::array<std::string, kTextColumnCount>;

// One value of a list field: its value columns (ListColumns).
using ListRow = std::vector<ColumnValue>;

struct FilmRows {
    std::vector<ColumnValue> columns;         // ColumnFields(FilmFields()), in order
    std::vector<std::vector<ListRow>> lists;  // by ListFields(FilmFields())
    SearchText text;
};

struct DvdRows {
    std::vector<ColumnValue> columns;  // ColumnFields(DvdFields()), in order
    std::vector<FilmRows> films;
};

// What the window's list shows of a box beyond its own fields, worked out
// once when it is stored rather than from all its films whenever the list
// is drawn.
struct BoxSummary {
    std::optional<std::string> title;  // the box title, else the first DVD title
    int64_t dvds = 0;                  // DVDs in the record
    int64_t films = 0;
    std::optional<int64_t> yearMin, yearMax;  // over the films' years
    std::optional<int64_t> fsk;               // the highest rating of its films
    std::optional<std::string> genres;        // the films' genres, each once, by ", "
};

struct BoxRows {
    std::string path;
    FileStamp stamp;
    std::string status;
    std::optional<std::string> reason;  // the loader's words when not "ok"
    std::vector<ColumnValue> columns;   // ColumnFields(BoxFileFields()), in order
    std::vector<DvdRows> dvds;
    SearchText text;  // the box's own fields and all its DVDs' and films'
    BoxSummary summary;
};

BoxRows MakeBoxRows(const IndexedBox& box);

}  // namespace quorvel
