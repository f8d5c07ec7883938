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

struct PersonRow {
    std::optional<std::string> role, name, note;
};

struct LanguageRow {
    std::optional<std::string> language, detail;
};

struct FilmRows {
    std::vector<ColumnValue> columns;  // FilmColumns(), in order
    std::vector<std::string> furtherTitles;
    std::vector<LanguageRow> languages;
    std::vector<PersonRow> persons;
    SearchText text;
};

struct DvdRows {
    std::vector<ColumnValue> columns;  // DvdColumns(), in order
    std::vector<FilmRows> films;
};

struct BoxRows {
    std::string path;
    FileStamp stamp;
    std::string status;
    std::optional<std::string> reason;
    std::optional<std::string> exported;
    bool coverCompressed = false;
    bool dataCompressed = false;
    std::optional<std::string> coverFormat;
    std::optional<int64_t> coverBytes;
    std::optional<std::string> content, comment;
    int64_t unknownTokens = 0;
    std::vector<ColumnValue> columns;  // BoxColumns(), in order
    std::vector<DvdRows> dvds;
    SearchText text;  // the box's own fields and all its DVDs' and films'
};

BoxRows MakeBoxRows(const IndexedBox& box);

}  // namespace quorvel
