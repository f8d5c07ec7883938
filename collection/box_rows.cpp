#include "collection/box_rows.h"

#include "app/text_util.h"

namespace quorvel {
namespace {

enum TextColumn : size_t {
    kTitle,
    kOriginal,
    kFurther,
    kPersons,
    kRoles,
    kNotes,
    kGenre,
    kLanguages,
    kEan,
    kContent,
    kComment,
};

std::optional<std::string> Utf8(const std::optional<std::string>& cp1252) {
    return cp1252 ? std::optional<std::string>(Cp1252ToUtf8(*cp1252)) : std::nullopt;
}

void Add(SearchText& text, TextColumn column, const std::optional<std::string>& utf8) {
    if (utf8 && !utf8->empty()) {
        std::string& into = text[column];
        if (!into.empty()) {
            into += '\n';
        }
        into += *utf8;
    }
}

template <typename Level>
std::vector<ColumnValue> Columns(const Level& value,
                                 std::span<const RecordColumn<Level>> columns) {
    std::vector<ColumnValue> cells;
    cells.reserve(columns.size());
    for (const RecordColumn<Level>& column : columns) {
        cells.push_back(column.get(value));
    }
    return cells;
}

FilmRows MakeFilmRows(const FilmRecord& film) {
    FilmRows rows;
    rows.columns = Columns(film, FilmColumns());
    SearchText& text = rows.text;
    Add(text, kTitle, Utf8(film.title));
    Add(text, kOriginal, Utf8(film.originalTitle));
    for (const std::string& further : film.furtherTitles) {
        rows.furtherTitles.push_back(Cp1252ToUtf8(further));
        Add(text, kFurther, rows.furtherTitles.back());
    }
    for (const PersonRecord& person : film.persons) {
        rows.persons.push_back({Utf8(person.role), Utf8(person.name), Utf8(person.note)});
        Add(text, kPersons, rows.persons.back().name);
        Add(text, kRoles, rows.persons.back().role);
        Add(text, kNotes, rows.persons.back().note);
    }
    Add(text, kGenre, Utf8(film.genre));
    for (const LanguageRecord& language : film.languages) {
        rows.languages.push_back({Utf8(language.language), Utf8(language.detail)});
        Add(text, kLanguages, rows.languages.back().language);
        Add(text, kLanguages, rows.languages.back().detail);
    }
    Add(text, kLanguages, Utf8(film.subtitles));
    return rows;
}

}  // namespace

BoxRows MakeBoxRows(const IndexedBox& box) {
    BoxRows rows;
    rows.path = box.path;
    rows.stamp = box.stamp;
    rows.status = box.status;
    if (!box.reason.empty()) {
        rows.reason = box.reason;
    }
    rows.exported = box.exported;
    rows.coverCompressed = box.coverCompressed;
    rows.dataCompressed = box.dataCompressed;
    rows.coverFormat = box.coverFormat;
    rows.coverBytes = box.coverBytes;
    const Record& record = box.record;
    rows.content = Utf8(record.content);
    rows.comment = Utf8(record.comment);
    rows.unknownTokens = record.unknownTokens;
    rows.columns = Columns(record.box, BoxColumns());

    SearchText& text = rows.text;
    Add(text, kTitle, Utf8(record.box.title));
    Add(text, kEan, Utf8(record.box.ean));
    Add(text, kContent, rows.content);
    Add(text, kComment, rows.comment);
    for (const DvdRecord& dvd : record.dvds) {
        DvdRows& dvdRows = rows.dvds.emplace_back();
        dvdRows.columns = Columns(dvd, DvdColumns());
        Add(text, kTitle, Utf8(dvd.title));
        for (const FilmRecord& film : dvd.films) {
            const FilmRows& filmRows = dvdRows.films.emplace_back(MakeFilmRows(film));
            for (size_t i = 0; i < kTextColumnCount; ++i) {
                if (!filmRows.text[i].empty()) {
                    Add(text, static_cast<TextColumn>(i), filmRows.text[i]);
                }
            }
        }
    }
    return rows;
}

}  // namespace quorvel
