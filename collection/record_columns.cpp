#include "collection/record_columns.h"

#include <algorithm>
#include <array>

#include "app/text_util.h"

namespace quorvel {
namespace {

// File fields the index keeps in columns of its own, or not at all.
constexpr std::array<std::string_view, 5> kNotColumns = {"file", "shown", "error", "cover_width",
                                                         "cover_height"};

bool IsList(FieldKind kind) {
    return kind == FieldKind::kTextList || kind == FieldKind::kLanguages ||
           kind == FieldKind::kPersons;
}

std::optional<std::string> Utf8(const std::optional<std::string>& cp1252) {
    return cp1252 ? std::optional<std::string>(Cp1252ToUtf8(*cp1252)) : std::nullopt;
}

ColumnValue Cell(const std::optional<std::string>& utf8) {
    return utf8 ? ColumnValue(*utf8) : ColumnValue();
}

template <typename Entry, size_t N>
std::vector<std::vector<ColumnValue>> Entries(std::span<const Entry> entries,
                                              const EntryMember<Entry> (&members)[N]) {
    std::vector<std::vector<ColumnValue>> rows;
    for (const Entry& entry : entries) {
        std::vector<ColumnValue>& row = rows.emplace_back();
        for (const EntryMember<Entry>& member : members) {
            row.push_back(Cell(Utf8(entry.*member.member)));
        }
    }
    return rows;
}

}  // namespace

std::vector<const Field*> ColumnFields(std::span<const Field> table) {
    std::vector<const Field*> columns;
    for (const Field& field : table) {
        const bool own =
            field.level == FieldLevel::kFile &&
            std::find(kNotColumns.begin(), kNotColumns.end(), field.name) != kNotColumns.end();
        if (field.kind != FieldKind::kItems && !IsList(field.kind) && !own) {
            columns.push_back(&field);
        }
    }
    return columns;
}

std::vector<const Field*> ListFields(std::span<const Field> table) {
    std::vector<const Field*> lists;
    for (const Field& field : table) {
        if (IsList(field.kind)) {
            lists.push_back(&field);
        }
    }
    return lists;
}

const Field* ItemsField(std::span<const Field> table) {
    for (const Field& field : table) {
        if (field.kind == FieldKind::kItems) {
            return &field;
        }
    }
    return nullptr;
}

std::span<const Field> DvdFields() {
    return ItemsField(BoxFileFields())->items;
}

std::span<const Field> FilmFields() {
    return ItemsField(DvdFields())->items;
}

const char* SqlType(FieldKind kind) {
    return kind == FieldKind::kNumber || kind == FieldKind::kBool ? "INTEGER" : "TEXT";
}

std::vector<std::string_view> ListColumns(const Field& list) {
    std::vector<std::string_view> columns;
    if (list.kind == FieldKind::kLanguages) {
        for (const auto& member : kLanguageMembers) {
            columns.push_back(member.key);
        }
    } else if (list.kind == FieldKind::kPersons) {
        for (const auto& member : kPersonMembers) {
            columns.push_back(member.key);
        }
    } else {
        columns.push_back("text");
    }
    return columns;
}

ColumnValue ToColumn(const FieldValue& value) {
    return std::visit(
        Overloaded{
            [](std::monostate) { return ColumnValue(); },
            [](const Cp1252Text& text) { return ColumnValue(Cp1252ToUtf8(text.text)); },
            [](const std::string& utf8) { return ColumnValue(utf8); },
            [](int64_t number) { return ColumnValue(number); },
            [](bool flag) { return ColumnValue(int64_t{flag ? 1 : 0}); },
            [&value](const RegionList&) { return ColumnValue(ValueText(value)); },
            [](const auto&) { return ColumnValue(); },  // lists have tables of their own
        },
        value);
}

std::vector<std::vector<ColumnValue>> ToListRows(const FieldValue& value) {
    if (const auto* texts = std::get_if<std::span<const std::string>>(&value)) {
        std::vector<std::vector<ColumnValue>> rows;
        for (const std::string& text : *texts) {
            rows.push_back({ColumnValue(Cp1252ToUtf8(text))});
        }
        return rows;
    }
    if (const auto* languages = std::get_if<std::span<const LanguageRecord>>(&value)) {
        return Entries(*languages, kLanguageMembers);
    }
    if (const auto* persons = std::get_if<std::span<const PersonRecord>>(&value)) {
        return Entries(*persons, kPersonMembers);
    }
    return {};
}

}  // namespace quorvel
