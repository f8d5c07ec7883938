// The record's scalar fields as database columns, one table per level (box,
// DVD, film). The schema, the inserts and the listing all come from these
// tables, so a field added to the record is added here once.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "cli/records.h"

namespace quorvel {

// NULL, a number or a UTF-8 text.
using ColumnValue = std::variant<std::monostate, int64_t, std::string>;

enum class ColumnKind { kText, kInteger };

template <typename Level>
struct RecordColumn {
    const char* name;  // the column's name
    ColumnKind kind;
    ColumnValue (*get)(const Level&);
};

std::span<const RecordColumn<BoxRecord>> BoxColumns();
std::span<const RecordColumn<DvdRecord>> DvdColumns();
std::span<const RecordColumn<FilmRecord>> FilmColumns();

}  // namespace quorvel
