// How the record's field table (boxfile/record_fields.h) becomes the
// database's tables: each level's single-valued fields are columns of its
// table (boxes, dvds, films), each list field of a film a table of its own
// (further_titles, languages, persons). A field added to the table reaches
// the schema, the writer and the README's schema without more code.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "boxfile/record_fields.h"

namespace quorvel {

// NULL, a number or a UTF-8 text.
using ColumnValue = std::variant<std::monostate, int64_t, std::string>;

// The fields of the level `table` stands for that are columns of its
// database table, in table order. Of the file's fields, the path, the
// problem and whether it was shown are the index's own columns (path,
// status, reason), and the cover's width and height are left out: the index
// never decodes a cover.
std::vector<const Field*> ColumnFields(std::span<const Field> table);
// The level's list fields (texts, languages, persons): a table each.
std::vector<const Field*> ListFields(std::span<const Field> table);
// The level's row that leads to the next level's table, or none.
const Field* ItemsField(std::span<const Field> table);

// The tables of the DVD and film levels.
std::span<const Field> DvdFields();
std::span<const Field> FilmFields();

// "TEXT" or "INTEGER" for a column's kind.
const char* SqlType(FieldKind kind);
// The names of a list table's value columns, after film_id and position.
std::vector<std::string_view> ListColumns(const Field& list);

// A single value as a column holds it: texts in UTF-8, booleans 0 or 1,
// region lists as their numbers joined by "; ".
ColumnValue ToColumn(const FieldValue& value);
// A list field's entries, each as its value columns.
std::vector<std::vector<ColumnValue>> ToListRows(const FieldValue& value);

}  // namespace quorvel
