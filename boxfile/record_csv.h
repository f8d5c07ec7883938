// A box file's record as CSV rows (RFC 4180: comma-separated, CR LF line
// ends, fields with a comma, quote or line end quoted, UTF-8), with the
// columns the field table names: one row per film, the file's, box's and
// DVD's columns repeated on each; a DVD without films and a box without DVDs
// get one row with the rest empty; a file that is no readable box one row
// with its name and error. What `quorvel-dump --csv` writes and the
// collection window exports.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "boxfile/record.h"

namespace quorvel {

// What a writer makes of each cell's UTF-8 text before it is quoted (a
// terminal's writer shows controls visibly); none keeps it as it is.
using CsvCellText = std::function<std::string(std::string_view utf8)>;

// The header row: every CSV column's name.
void AppendCsvHeader(std::string& out);

// The rows of one file; `record` is null for a file that is no readable box.
void AppendCsvRows(std::string& out, const BoxFileFacts& file, const Record* record,
                   const CsvCellText& cell = {});

}  // namespace quorvel
