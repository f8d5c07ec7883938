#include "boxfile/record_csv.h"

#include "boxfile/record_fields.h"

namespace quorvel {
namespace {

// One field, quoted when it holds a comma, a quote or a line end.
void AppendCsvField(std::string& out, std::string_view utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += utf8;
        return;
    }
    out += '"';
    for (const char c : utf8) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

// The fields of one row, in column order.
class Row {
public:
    Row(std::string& out, const CsvCellText& cell) : m_out(out), m_cell(cell) {}
    ~Row() { m_out += "\r\n"; }
    Row(const Row&) = delete;
    Row& operator=(const Row&) = delete;

    void Field(std::string_view utf8) {
        m_out += m_first ? "" : ",";
        m_first = false;
        AppendCsvField(m_out, m_cell ? m_cell(utf8) : std::string(utf8));
    }

private:
    std::string& m_out;
    const CsvCellText& m_cell;
    bool m_first = true;
};

// Calls column(field) for every CSV column, in order: a kItems row stands
// for the next level's columns.
template <typename Column>
void ForEachColumn(std::span<const Field> fields, Column&& column) {
    for (const Field& field : fields) {
        if (field.kind == FieldKind::kItems) {
            ForEachColumn(field.items, column);
        } else if (!field.csvColumn.empty()) {
            column(field);
        }
    }
}

void AppendRow(std::string& out, const FieldSource& source, const CsvCellText& cell) {
    Row row(out, cell);
    ForEachColumn(BoxFileFields(), [&](const Field& field) {
        const std::optional<FieldValue> value = PresentValue(field, source);
        row.Field(value ? ValueText(*value) : std::string());
    });
}

}  // namespace

void AppendCsvHeader(std::string& out) {
    static const CsvCellText kAsItIs;
    Row row(out, kAsItIs);
    ForEachColumn(BoxFileFields(), [&row](const Field& field) { row.Field(field.csvColumn); });
}

void AppendCsvRows(std::string& out, const BoxFileFacts& file, const Record* record,
                   const CsvCellText& cell) {
    static const Record kEmpty;
    const Record& shown = record != nullptr ? *record : kEmpty;
    if (shown.dvds.empty()) {
        AppendRow(out, {file, shown}, cell);
    }
    for (const DvdRecord& dvd : shown.dvds) {
        if (dvd.films.empty()) {
            AppendRow(out, {file, shown, &dvd}, cell);
        }
        for (const FilmRecord& film : dvd.films) {
            AppendRow(out, {file, shown, &dvd, &film}, cell);
        }
    }
}

}  // namespace quorvel
