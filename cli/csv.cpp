#include "cli/csv.h"

#include "app/terminal_text.h"
#include "app/text_util.h"
#include "cli/records_json.h"

namespace quorvel {
namespace {

constexpr const char* kColumns[] = {
    "file",
    "error",
    "exported",
    "cover.format",
    "cover.width",
    "cover.height",
    "cover.bytes",
    "box.title",
    "box.ean",
    "box.packaging",
    "box.extra",
    "box.tags",
    "box.dvdCount",
    "dvd.title",
    "dvd.regions",
    "dvd.regionFree",
    "dvd.opt",
    "dvd.sn",
    "dvd.low",
    "dvd.high",
    "dvd.format",
    "dvd.extra",
    "dvd.year",
    "dvd.tags",
    "dvd.filmCount",
    "film.title",
    "film.originalTitle",
    "film.furtherTitles",
    "film.fsk",
    "film.year",
    "film.length",
    "film.pictureFormat",
    "film.genre",
    "film.subtitles",
    "film.languages",
    "film.persons",
    "film.tags",
    "content",
    "comment",
};

// The fields of one row, in column order, in UTF-8.
class Row {
public:
    explicit Row(std::string& out, bool forTerminal = false)
        : m_out(out), m_forTerminal(forTerminal) {}
    void Text(std::string_view utf8) {
        Separate();
        AppendCsvField(m_out, m_forTerminal ? MakeVisible(utf8) : std::string(utf8));
    }
    void Cp1252(const std::optional<std::string>& cp1252) {
        Text(cp1252 ? Cp1252ToUtf8(*cp1252) : std::string());
    }
    void Number(std::optional<int64_t> value) { Text(value ? std::to_string(*value) : ""); }
    void Number(std::optional<uint32_t> value) {
        Number(value ? std::optional<int64_t>(*value) : std::nullopt);
    }
    void Bool(bool value) { Text(value ? "true" : "false"); }
    void Empty(size_t count) {
        for (size_t i = 0; i < count; ++i) {
            Text(std::string_view());
        }
    }
    void End() { m_out += "\r\n"; }

private:
    void Separate() {
        if (!m_first) {
            m_out += ',';
        }
        m_first = false;
    }
    std::string& m_out;
    bool m_forTerminal;
    bool m_first = true;
};

constexpr size_t kDvdColumns = 12;
constexpr size_t kFilmColumns = 12;

std::string Joined(const std::vector<std::string>& items) {
    std::string joined;
    for (const std::string& item : items) {
        if (!joined.empty()) {
            joined += "; ";
        }
        joined += item;
    }
    return joined;
}

// Languages and persons as the display's lines show them after the label;
// entries whose line shows nothing are left out.
std::string Languages(const FilmRecord& film) {
    std::vector<std::string> items;
    for (const LanguageRecord& l : film.languages) {
        if (l.language && l.detail) {
            items.push_back(Cp1252ToUtf8(*l.language + " in " + *l.detail));
        } else if (l.language) {
            items.push_back(Cp1252ToUtf8(*l.language));
        }
    }
    return Joined(items);
}

std::string Persons(const FilmRecord& film) {
    std::vector<std::string> items;
    for (const PersonRecord& p : film.persons) {
        if (p.role && p.name) {
            std::string item = "[" + *p.role + "] " + *p.name;
            if (p.note) {
                item += " {" + *p.note + "}";
            }
            items.push_back(Cp1252ToUtf8(item));
        }
    }
    return Joined(items);
}

void DvdColumns(Row& row, const DvdRecord& dvd) {
    row.Cp1252(dvd.title);
    if (dvd.regionMask) {
        std::string regions;
        for (const int region : RegionNumbers(*dvd.regionMask)) {
            regions += (regions.empty() ? "" : "; ") + std::to_string(region);
        }
        row.Text(regions);
        row.Bool(IsRegionFree(*dvd.regionMask));
    } else {
        row.Empty(2);
    }
    row.Number(dvd.opt);
    row.Number(dvd.sn);
    row.Number(dvd.low);
    row.Number(dvd.high);
    row.Cp1252(dvd.format);
    row.Cp1252(dvd.extra);
    row.Number(dvd.year);
    row.Bool(dvd.tags);
    row.Number(dvd.filmCount);
}

void FilmColumns(Row& row, const FilmRecord& film) {
    row.Cp1252(film.title);
    row.Cp1252(film.originalTitle);
    row.Text(Cp1252ToUtf8(Joined(film.furtherTitles)));
    row.Number(film.fsk);
    row.Number(film.year);
    row.Number(film.length);
    row.Cp1252(film.pictureFormat);
    row.Cp1252(film.genre);
    row.Cp1252(film.subtitles);
    row.Text(Languages(film));
    row.Text(Persons(film));
    row.Bool(film.tags);
}

}  // namespace

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

void AppendCsvHeader(std::string& out) {
    Row row(out);
    for (const char* column : kColumns) {
        row.Text(column);
    }
    row.End();
}

void AppendCsvRows(std::string& out, const DumpedFile& f, bool forTerminal) {
    static const Record kEmpty;
    const Record& record = f.record ? *f.record : kEmpty;
    // The columns up to the DVD's, the same on every row of the file.
    const auto boxColumns = [&](Row& row) {
        row.Text(SanitizeUtf8(f.file));
        row.Text(f.problem);
        if (!f.shown) {
            row.Empty(11);
            return;
        }
        row.Text(f.exported ? IsoTimestamp(*f.exported) : std::string());
        if (f.cover.present) {
            row.Text(f.cover.format != nullptr ? f.cover.format : "");
            row.Number(f.cover.size ? std::optional<int64_t>(f.cover.size->width) : std::nullopt);
            row.Number(f.cover.size ? std::optional<int64_t>(f.cover.size->height) : std::nullopt);
            row.Number(std::optional<int64_t>(f.cover.bytes));
        } else {
            row.Empty(4);
        }
        row.Cp1252(record.box.title);
        row.Cp1252(record.box.ean);
        row.Cp1252(record.box.packaging);
        row.Cp1252(record.box.extra);
        row.Bool(record.box.tags);
        row.Number(record.box.dvdCount);
    };
    const auto sections = [&](Row& row) {
        row.Cp1252(record.content);
        row.Cp1252(record.comment);
    };
    if (record.dvds.empty()) {
        Row row(out, forTerminal);
        boxColumns(row);
        row.Empty(kDvdColumns + kFilmColumns);
        sections(row);
        row.End();
        return;
    }
    for (const DvdRecord& dvd : record.dvds) {
        if (dvd.films.empty()) {
            Row row(out, forTerminal);
            boxColumns(row);
            DvdColumns(row, dvd);
            row.Empty(kFilmColumns);
            sections(row);
            row.End();
        }
        for (const FilmRecord& film : dvd.films) {
            Row row(out, forTerminal);
            boxColumns(row);
            DvdColumns(row, dvd);
            FilmColumns(row, film);
            sections(row);
            row.End();
        }
    }
}

}  // namespace quorvel
