// The field table: every field of a box file's record, listed once with its
// level, its names as an SQL column, a JSON key and a CSV column, its kind,
// and how its value is read. Each writer (--records, --csv, an index) walks
// the table, so a field added here reaches all of them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "boxfile/record.h"

namespace quorvel {

// The object a field belongs to: the file, its box record, a DVD, a film.
enum class FieldLevel { kFile, kBox, kDvd, kFilm };

// What a field holds; each kind has one alternative of FieldValue, and every
// field may also have none.
enum class FieldKind {
    kText,       // Cp1252Text, or std::string in UTF-8
    kNumber,     // int64_t
    kBool,       // bool
    kRegions,    // RegionList
    kTextList,   // std::span<const std::string>, Windows-1252
    kLanguages,  // std::span<const LanguageRecord>
    kPersons,    // std::span<const PersonRecord>
    kItems,      // the next level's objects (a box's DVDs, a DVD's films); no value
};

// When a writer puts a field down at all.
enum class FieldPresence {
    kAlways,
    kWhenSet,    // only when it has a value
    kWhenShown,  // only for a file the display ran on
};

// A record text, Windows-1252, borrowed from the record.
struct Cp1252Text {
    std::string_view text;
};
using RegionList = std::vector<int>;  // region numbers 1..8; empty when region-free

// std::monostate is none: JSON null, an empty CSV cell, SQL NULL.
using FieldValue = std::variant<std::monostate, Cp1252Text, std::string, int64_t, bool, RegionList,
                                std::span<const std::string>, std::span<const LanguageRecord>,
                                std::span<const PersonRecord>>;

// What a value is read from; the DVD and film are set where there is one.
struct FieldSource {
    const BoxFileFacts& file;
    const Record& record;
    const DvdRecord* dvd = nullptr;
    const FilmRecord* film = nullptr;
};

struct Field {
    FieldLevel level;
    std::string_view name;   // unique in its table: an SQL column name
    std::string_view group;  // the JSON object it sits in within its level's; empty: none
    std::string_view jsonKey;
    std::string_view csvColumn;  // empty: no CSV column
    FieldKind kind;
    FieldPresence presence;
    FieldValue (*read)(const FieldSource&);  // null for kItems
    std::span<const Field> items;            // kItems: the next level's table
};

// The top table, in JSON order: the file's and the box record's fields. Its
// kItems row leads to the DVD table, whose own kItems row leads to the films.
std::span<const Field> BoxFileFields();

// The end of the run of rows from `at` on that share fields[at]'s group: a
// JSON object of its own unless the group is empty (then just at + 1).
size_t GroupEnd(std::span<const Field> fields, size_t at);

// The field's value for `source`, or nullopt when a writer leaves it out:
// its DVD or film is missing, or its presence rule says so. A kItems field
// that is present has an empty value.
std::optional<FieldValue> PresentValue(const Field& field, const FieldSource& source);

// Calls visit(itemSource) for each object a kItems field stands for.
template <typename Visit>
void ForEachItem(const Field& field, const FieldSource& source, Visit&& visit) {
    if (field.items.empty()) {
        return;
    }
    if (field.items.front().level == FieldLevel::kDvd) {
        for (const DvdRecord& dvd : source.record.dvds) {
            visit(FieldSource{source.file, source.record, &dvd, nullptr});
        }
    } else if (source.dvd != nullptr) {
        for (const FilmRecord& film : source.dvd->films) {
            visit(FieldSource{source.file, source.record, source.dvd, &film});
        }
    }
}

// A visitor of a FieldValue made of one lambda per alternative:
// std::visit(Overloaded{...}, value).
template <typename... F>
struct Overloaded : F... {
    using F::operator()...;
};
// Spelled out for compilers without C++20's deduction for aggregates (the
// clang of the fuzz build).
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

// A value as one line of UTF-8 text, as a CSV cell holds it: none is empty,
// booleans read "true" or "false", lists are joined by "; " (languages and
// persons as the record text shows them, those it shows nothing for left out).
std::string ValueText(const FieldValue& value);

// The members of a language and of a person entry, for writers that show an
// entry as an object of its own.
template <typename Entry>
struct EntryMember {
    std::string_view key;
    std::optional<std::string> Entry::*member;
};
inline constexpr EntryMember<LanguageRecord> kLanguageMembers[] = {
    {"language", &LanguageRecord::language},
    {"detail", &LanguageRecord::detail},
};
inline constexpr EntryMember<PersonRecord> kPersonMembers[] = {
    {"role", &PersonRecord::role},
    {"name", &PersonRecord::name},
    {"note", &PersonRecord::note},
};

}  // namespace quorvel
