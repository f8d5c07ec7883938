#include "cli/csv_writer.h"

#include "boxfile/record_fields.h"
#include "cli/safe_text.h"

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
    Row(std::string& out, bool terminal) : m_out(out), m_terminal(terminal) {}
    ~Row() { m_out += "\r\n"; }
    Row(const Row&) = delete;
    Row& operator=(const Row&) = delete;

    void Field(std::string_view utf8) {
        m_out += m_first ? "" : ",";
        m_first = false;
        AppendCsvField(m_out, m_terminal ? MakeVisible(utf8) : std::string(utf8));
    }

private:
    std::string& m_out;
    bool m_terminal;
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

class CsvWriter : public DumpWriter {
public:
    using DumpWriter::DumpWriter;
    bool Begin() override {
        Row row(m_out, false);
        ForEachColumn(BoxFileFields(), [&row](const Field& field) { row.Field(field.csvColumn); });
        return true;
    }
    bool File(DumpedFile& file) override {
        static const Record kEmpty;
        const Record& record = file.record ? *file.record : kEmpty;
        if (record.dvds.empty()) {
            Append({file, record});
        }
        for (const DvdRecord& dvd : record.dvds) {
            if (dvd.films.empty()) {
                Append({file, record, &dvd});
            }
            for (const FilmRecord& film : dvd.films) {
                Append({file, record, &dvd, &film});
            }
        }
        return true;
    }

private:
    void Append(const FieldSource& source) {
        Row row(m_out, m_setup.terminal);
        ForEachColumn(BoxFileFields(), [&](const Field& field) {
            const std::optional<FieldValue> value = PresentValue(field, source);
            row.Field(value ? ValueText(*value) : std::string());
        });
    }
};

}  // namespace

std::unique_ptr<DumpWriter> MakeCsvWriter(const WriterSetup& setup) {
    return std::make_unique<CsvWriter>(setup);
}

}  // namespace quorvel
