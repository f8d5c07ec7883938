#include "collection/box_rows.h"

#include <algorithm>

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

std::vector<ColumnValue> Columns(std::span<const Field* const> fields, const FieldSource& source) {
    std::vector<ColumnValue> cells;
    cells.reserve(fields.size());
    for (const Field* field : fields) {
        const std::optional<FieldValue> value = PresentValue(*field, source);
        cells.push_back(value ? ToColumn(*value) : ColumnValue());
    }
    return cells;
}

// The searchable texts of one film, by full-text column.
SearchText FilmText(const FilmRecord& film) {
    SearchText text;
    Add(text, kTitle, Utf8(film.title));
    Add(text, kOriginal, Utf8(film.originalTitle));
    for (const std::string& further : film.furtherTitles) {
        Add(text, kFurther, Cp1252ToUtf8(further));
    }
    for (const PersonRecord& person : film.persons) {
        Add(text, kPersons, Utf8(person.name));
        Add(text, kRoles, Utf8(person.role));
        Add(text, kNotes, Utf8(person.note));
    }
    Add(text, kGenre, Utf8(film.genre));
    for (const LanguageRecord& language : film.languages) {
        Add(text, kLanguages, Utf8(language.language));
        Add(text, kLanguages, Utf8(language.detail));
    }
    Add(text, kLanguages, Utf8(film.subtitles));
    return text;
}

BoxSummary Summarize(const Record& record) {
    BoxSummary summary;
    summary.title = Utf8(record.box.title);
    std::vector<std::string> genres;
    for (const DvdRecord& dvd : record.dvds) {
        if (!summary.title && dvd.title) {
            summary.title = Utf8(dvd.title);
        }
        ++summary.dvds;
        for (const FilmRecord& film : dvd.films) {
            ++summary.films;
            if (film.year) {
                const int64_t year = *film.year;
                summary.yearMin = std::min(summary.yearMin.value_or(year), year);
                summary.yearMax = std::max(summary.yearMax.value_or(year), year);
            }
            if (film.fsk) {
                summary.fsk = std::max<int64_t>(summary.fsk.value_or(0), *film.fsk);
            }
            if (film.genre &&
                std::find(genres.begin(), genres.end(), *film.genre) == genres.end()) {
                genres.push_back(*film.genre);
            }
        }
    }
    for (const std::string& genre : genres) {
        summary.genres = summary.genres ? *summary.genres + ", " : std::string();
        *summary.genres += Cp1252ToUtf8(genre);
    }
    return summary;
}

}  // namespace

BoxRows MakeBoxRows(const IndexedBox& box) {
    // The table's fields, picked once for every box.
    static const std::vector<const Field*> kBoxColumns = ColumnFields(BoxFileFields());
    static const std::vector<const Field*> kDvdColumns = ColumnFields(DvdFields());
    static const std::vector<const Field*> kFilmColumns = ColumnFields(FilmFields());
    static const std::vector<const Field*> kFilmLists = ListFields(FilmFields());

    BoxRows rows;
    rows.path = box.facts.file;
    rows.stamp = box.stamp;
    rows.status = box.status;
    if (!box.facts.problem.empty()) {
        rows.reason = box.facts.problem;
    }
    const Record& record = box.record;
    const FieldSource source{box.facts, record};
    rows.columns = Columns(kBoxColumns, source);
    rows.summary = Summarize(record);

    SearchText& text = rows.text;
    Add(text, kTitle, Utf8(record.box.title));
    Add(text, kEan, Utf8(record.box.ean));
    Add(text, kContent, Utf8(record.content));
    Add(text, kComment, Utf8(record.comment));
    for (const DvdRecord& dvd : record.dvds) {
        DvdRows& dvdRows = rows.dvds.emplace_back();
        dvdRows.columns = Columns(kDvdColumns, {box.facts, record, &dvd});
        Add(text, kTitle, Utf8(dvd.title));
        for (const FilmRecord& film : dvd.films) {
            const FieldSource filmSource{box.facts, record, &dvd, &film};
            FilmRows& filmRows = dvdRows.films.emplace_back();
            filmRows.columns = Columns(kFilmColumns, filmSource);
            for (const Field* list : kFilmLists) {
                const std::optional<FieldValue> value = PresentValue(*list, filmSource);
                filmRows.lists.push_back(value ? ToListRows(*value) : std::vector<ListRow>());
            }
            filmRows.text = FilmText(film);
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
