// A box file's record as CSV rows (RFC 4180: comma-separated, CR LF line
// ends, fields with a comma, quote or line end quoted, UTF-8), with the
// columns the field table names: one row per film, the file's, box's and
// DVD's columns repeated on each, content and comment on a file's first row
// only (they would otherwise repeat up to 64 KiB each on every row); a DVD
// without films and a box without DVDs get one row with the rest empty; a
// file that is no readable box one row with its name and error. A cell a
// spreadsheet would take for a formula gets a leading apostrophe. What
// `quorvel-dump --csv` writes and the collection window exports.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "boxfile/record.h"
#include "boxfile/record_fields.h"

namespace quorvel {

class CsvRows {
public:
    // `terminal`: cells are made visible for a terminal (line ends of a
    // quoted cell kept).
    explicit CsvRows(bool terminal = false);

    // The header row: every CSV column's name.
    void AppendHeader(std::string& out) const;

    // The rows of one file that fit in `room` bytes; when that is not all of
    // them, the record is cut (its `cut` set, which only shortens a row).
    // `record` is null for a file that is no readable box. `afterRow`, when
    // given, is called after each row is appended (to write it out).
    void AppendRows(std::string& out, const BoxFileFacts& file, Record* record, uint64_t room,
                    const std::function<void()>& afterRow = {}) const;

private:
    struct Column {
        const Field* field;
        bool firstRowOnly;
    };
    void AppendCells(std::string& out, const FieldSource& source, size_t from, size_t to,
                     bool firstRow) const;

    bool m_terminal;
    std::vector<Column> m_columns;
    size_t m_dvdStart = 0, m_filmStart = 0, m_tailStart = 0;
};

}  // namespace quorvel
