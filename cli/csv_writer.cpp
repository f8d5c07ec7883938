#include "cli/csv_writer.h"

#include <vector>

#include "app/terminal_text.h"
#include "boxfile/record_fields.h"

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

// A CSV column: its field, and whether it stands on a file's first row only
// (the file's fields after the DVD and film columns: content and comment,
// which would otherwise repeat up to 64 KiB each on every row).
struct Column {
    const Field* field;
    bool firstRowOnly;
};

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

class CsvWriter : public DumpWriter {
public:
    explicit CsvWriter(const WriterSetup& setup) : DumpWriter(setup) {
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

    bool Begin() override {
        for (size_t i = 0; i < m_columns.size(); ++i) {
            m_out.append(i == 0 ? "" : ",").append(m_columns[i].field->csvColumn);
        }
        m_out += "\r\n";
        return true;
    }

    bool File(DumpedFile& file) override {
        static const Record kEmpty;
        if (!file.problem.empty() || !file.record) {
            // No readable box: its name and why, nothing else.
            BoxFileFacts unread(file);
            unread.shown = false;
            AppendCells(m_out, {unread, kEmpty}, 0, m_columns.size(), true);
            m_out += "\r\n";
            return true;
        }
        Record& record = *file.record;
        std::vector<FieldSource> rows;
        if (record.dvds.empty()) {
            rows.push_back({file, record});
        }
        for (const DvdRecord& dvd : record.dvds) {
            if (dvd.films.empty()) {
                rows.push_back({file, record, &dvd});
            }
            for (const FilmRecord& film : dvd.films) {
                rows.push_back({file, record, &dvd, &film});
            }
        }
        // A row's cells in three parts: the file's and the box's, the same
        // on every row; the DVD's, the same on each of its rows; the film's
        // and the rest.
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
        // The rows that fit in the file's share of the output; when that is
        // not all of them, the record is cut, which only shortens its rows
        // ("true" for "false").
        const uint64_t room = kMaxDumpOutputBytes;
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
            record.cut = true;
            heads();
        }
        for (size_t i = 0; i < fit; ++i) {
            make(i);
            m_out += row;
            m_setup.out.FlushLarge();
        }
        return true;
    }

private:
    void AppendCells(std::string& out, const FieldSource& source, size_t from, size_t to,
                     bool firstRow) const {
        for (size_t i = from; i < to; ++i) {
            out += i == 0 ? "" : ",";
            const Column& column = m_columns[i];
            if (column.firstRowOnly && !firstRow) {
                continue;
            }
            if (const std::optional<FieldValue> value = PresentValue(*column.field, source)) {
                AppendCsvCell(out, ValueText(*value), m_setup.terminal);
            }
        }
    }

    std::vector<Column> m_columns;
    size_t m_dvdStart = 0, m_filmStart = 0, m_tailStart = 0;
};

}  // namespace

std::unique_ptr<DumpWriter> MakeCsvWriter(const WriterSetup& setup) {
    return std::make_unique<CsvWriter>(setup);
}

}  // namespace quorvel
