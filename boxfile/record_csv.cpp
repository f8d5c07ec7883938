#include "boxfile/record_csv.h"

#include <string_view>

#include "app/terminal_text.h"

namespace quorvel {
namespace {

// One cell. One that a spreadsheet would take for a formula (it starts with
// =, +, -, @, a tab or a CR) gets a leading apostrophe and so stays text;
// one with a comma, a quote or a line end is quoted.
void AppendCsvCell(std::string& out, std::string_view utf8, bool terminal) {
    const bool formula =
        !utf8.empty() && std::string_view("=+-@\t\r").find(utf8[0]) != std::string_view::npos;
    const std::string cell =
        (formula ? "'" : "") + (terminal ? MakeVisible(utf8, true) : std::string(utf8));
    if (cell.find_first_of(",\"\r\n") == std::string::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (const char c : cell) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

// The file's fields after the DVD and film columns stand on its first row
// only.
template <typename Column>
void AddColumns(std::span<const Field> fields, bool top, std::vector<Column>& columns) {
    bool afterItems = false;
    for (const Field& field : fields) {
        if (field.kind == FieldKind::kItems) {
            AddColumns(field.items, false, columns);
            afterItems = top;
        } else if (!field.csvColumn.empty()) {
            columns.push_back({&field, afterItems});
        }
    }
}

}  // namespace

CsvRows::CsvRows(bool terminal) : m_terminal(terminal) {
    AddColumns(BoxFileFields(), true, m_columns);
    const auto start = [this](auto test) {
        size_t i = 0;
        while (i < m_columns.size() && !test(*m_columns[i].field)) {
            ++i;
        }
        return i;
    };
    m_dvdStart = start([](const Field& f) { return f.level == FieldLevel::kDvd; });
    m_filmStart = start([](const Field& f) { return f.level == FieldLevel::kFilm; });
    m_tailStart = m_filmStart;
    while (m_tailStart < m_columns.size() &&
           m_columns[m_tailStart].field->level == FieldLevel::kFilm) {
        ++m_tailStart;
    }
}

void CsvRows::AppendHeader(std::string& out) const {
    for (size_t i = 0; i < m_columns.size(); ++i) {
        out.append(i == 0 ? "" : ",").append(m_columns[i].field->csvColumn);
    }
    out += "\r\n";
}

void CsvRows::AppendRows(std::string& out, const BoxFileFacts& file, Record* record, uint64_t room,
                         const std::function<void()>& afterRow) const {
    static const Record kEmpty;
    if (!file.problem.empty() || record == nullptr) {
        // No readable box: its name and why, nothing else.
        BoxFileFacts unread(file);
        unread.shown = false;
        AppendCells(out, {unread, kEmpty}, 0, m_columns.size(), true);
        out += "\r\n";
        if (afterRow) {
            afterRow();
        }
        return;
    }
    std::vector<FieldSource> rows;
    if (record->dvds.empty()) {
        rows.push_back({file, *record});
    }
    for (const DvdRecord& dvd : record->dvds) {
        if (dvd.films.empty()) {
            rows.push_back({file, *record, &dvd});
        }
        for (const FilmRecord& film : dvd.films) {
            rows.push_back({file, *record, &dvd, &film});
        }
    }
    // A row's cells in three parts: the file's and the box's, the same on
    // every row; the DVD's, the same on each of its rows; the film's and
    // the rest.
    std::string head, tailFirst, tailOther, dvdCells, row;
    const auto heads = [&] {
        head.clear();
        AppendCells(head, rows[0], 0, m_dvdStart, true);
    };
    heads();
    AppendCells(tailFirst, rows[0], m_tailStart, m_columns.size(), true);
    AppendCells(tailOther, rows[0], m_tailStart, m_columns.size(), false);
    const DvdRecord* cellsOf = nullptr;
    const auto make = [&](size_t i) {
        if (i == 0 || rows[i].dvd != cellsOf) {
            cellsOf = rows[i].dvd;
            dvdCells.clear();
            AppendCells(dvdCells, rows[i], m_dvdStart, m_filmStart, true);
        }
        row.clear();
        row.append(head).append(dvdCells);
        AppendCells(row, rows[i], m_filmStart, m_tailStart, true);
        row.append(i == 0 ? tailFirst : tailOther).append("\r\n");
    };
    // Measured first, so a cut record says so on every row it writes.
    uint64_t used = 0;
    size_t fit = 0;
    for (; fit < rows.size(); ++fit) {
        make(fit);
        used += row.size();
        if (used > room) {
            break;
        }
    }
    if (fit < rows.size()) {
        record->cut = true;
        heads();
    }
    for (size_t i = 0; i < fit; ++i) {
        make(i);
        out += row;
        if (afterRow) {
            afterRow();
        }
    }
}

void CsvRows::AppendCells(std::string& out, const FieldSource& source, size_t from, size_t to,
                          bool firstRow) const {
    for (size_t i = from; i < to; ++i) {
        out += i == 0 ? "" : ",";
        const Column& column = m_columns[i];
        if (column.firstRowOnly && !firstRow) {
            continue;
        }
        if (const std::optional<FieldValue> value = PresentValue(*column.field, source)) {
            AppendCsvCell(out, ValueText(*value), m_terminal);
        }
    }
}

}  // namespace quorvel
