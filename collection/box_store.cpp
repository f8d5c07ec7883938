#include "collection/box_store.h"

#include <array>
#include <string_view>

#include "app/text_util.h"
#include "collection/record_columns.h"
#include "collection/text_columns.h"

namespace quorvel {
namespace {

// The searchable texts of a film or a whole box, by full-text column.
using SearchText = std::array<std::string, kTextColumnCount>;

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

void Add(SearchText& text, TextColumn column, const std::optional<std::string>& cp1252) {
    if (cp1252 && !cp1252->empty()) {
        std::string& into = text[column];
        if (!into.empty()) {
            into += '\n';
        }
        into += Cp1252ToUtf8(*cp1252);
    }
}

void AddFilm(SearchText& text, const FilmRecord& film) {
    Add(text, kTitle, film.title);
    Add(text, kOriginal, film.originalTitle);
    for (const std::string& further : film.furtherTitles) {
        Add(text, kFurther, further);
    }
    for (const PersonRecord& person : film.persons) {
        Add(text, kPersons, person.name);
        Add(text, kRoles, person.role);
        Add(text, kNotes, person.note);
    }
    Add(text, kGenre, film.genre);
    for (const LanguageRecord& language : film.languages) {
        Add(text, kLanguages, language.language);
        Add(text, kLanguages, language.detail);
    }
    Add(text, kLanguages, film.subtitles);
}

template <typename Level>
std::string InsertSql(const char* table, std::string_view fixed, int fixedCount,
                      std::span<const RecordColumn<Level>> columns) {
    std::string sql = std::string("INSERT INTO ") + table + " (" + std::string(fixed);
    std::string values;
    for (int i = 0; i < fixedCount; ++i) {
        values += i == 0 ? "?" : ", ?";
    }
    for (const RecordColumn<Level>& column : columns) {
        sql += ", ";
        sql += column.name;
        values += ", ?";
    }
    return sql + ") VALUES (" + values + ")";
}

std::string FtsInsertSql(const char* table, const char* key) {
    std::string sql = std::string("INSERT INTO ") + table + " (" + key;
    std::string values = "?";
    for (const char* column : kTextColumns) {
        sql += ", ";
        sql += column;
        values += ", ?";
    }
    return sql + ") VALUES (" + values + ")";
}

template <typename Level>
void BindColumns(Statement& statement, int first, const Level& value,
                 std::span<const RecordColumn<Level>> columns) {
    int index = first;
    for (const RecordColumn<Level>& column : columns) {
        const ColumnValue cell = column.get(value);
        if (const auto* number = std::get_if<int64_t>(&cell)) {
            statement.Bind(index, *number);
        } else if (const auto* text = std::get_if<std::string>(&cell)) {
            statement.Bind(index, std::string_view(*text));
        } else {
            statement.BindNull(index);
        }
        ++index;
    }
}

void InsertText(Statement& statement, int64_t rowid, const SearchText& text) {
    statement.Bind(1, rowid);
    for (size_t i = 0; i < kTextColumnCount; ++i) {
        statement.Bind(static_cast<int>(i + 2), std::string_view(text[i]));
    }
    statement.Run();
}

std::optional<std::string> Utf8(const std::optional<std::string>& cp1252) {
    return cp1252 ? std::optional<std::string>(Cp1252ToUtf8(*cp1252)) : std::nullopt;
}

constexpr std::string_view kBoxFixed =
    "path, size, mtime_ns, inode, status, reason, exported, cover_compressed, data_compressed, "
    "cover_format, cover_bytes, content, comment, unknown_tokens";
constexpr int kBoxFixedCount = 14;

}  // namespace

std::unordered_map<std::string, StoredBox> LoadStoredBoxes(Database& db) {
    std::unordered_map<std::string, StoredBox> stored;
    Statement select = db.Prepare("SELECT path, id, size, mtime_ns, inode, reason FROM boxes");
    while (select.Step()) {
        stored.emplace(select.Text(0), StoredBox{select.Int(1),
                                                 {select.Int(2), select.Int(3), select.Int(4)},
                                                 select.OptionalText(5)});
    }
    return stored;
}

BoxStore::BoxStore(Database& db)
    : m_db(db),
      m_findBox(db.Prepare("SELECT id FROM boxes WHERE path = ?")),
      m_deleteBoxText(db.Prepare("DELETE FROM box_fts WHERE rowid = ?")),
      m_deleteBox(db.Prepare("DELETE FROM boxes WHERE id = ?")),
      m_insertBox(db.Prepare(InsertSql("boxes", kBoxFixed, kBoxFixedCount, BoxColumns()))),
      m_insertDvd(db.Prepare(InsertSql("dvds", "box_id, position", 2, DvdColumns()))),
      m_insertFilm(db.Prepare(InsertSql("films", "box_id, dvd_id, position", 3, FilmColumns()))),
      m_insertFurther(
          db.Prepare("INSERT INTO further_titles (film_id, position, title) VALUES (?, ?, ?)")),
      m_insertLanguage(db.Prepare(
          "INSERT INTO languages (film_id, position, language, detail) VALUES (?, ?, ?, ?)")),
      m_insertPerson(db.Prepare(
          "INSERT INTO persons (film_id, position, role, name, note) VALUES (?, ?, ?, ?, ?)")),
      m_insertBoxText(db.Prepare(FtsInsertSql("box_fts", "rowid"))),
      m_insertFilmText(db.Prepare(FtsInsertSql("film_text", "film_id"))),
      m_clearProblems(db.Prepare(
          "DELETE FROM unreadable_folders WHERE path = ?1 OR substr(path, 1, length(?2)) = ?2")),
      m_addProblem(
          db.Prepare("INSERT OR REPLACE INTO unreadable_folders (path, reason) VALUES (?, ?)")) {}

void BoxStore::Remove(int64_t boxId) {
    // The box's DVDs, films and their rows go with it (ON DELETE CASCADE).
    m_deleteBoxText.Bind(1, boxId).Run();
    m_deleteBox.Bind(1, boxId).Run();
}

int64_t BoxStore::Put(const IndexedBox& box) {
    m_findBox.Bind(1, std::string_view(box.path));
    const bool present = m_findBox.Step();
    const int64_t oldId = present ? m_findBox.Int(0) : 0;
    m_findBox.Reset();
    if (present) {
        Remove(oldId);
    }

    const Record& record = box.record;
    Statement& insert = m_insertBox;
    insert.Bind(1, std::string_view(box.path))
        .Bind(2, box.stamp.size)
        .Bind(3, box.stamp.mtimeNs)
        .Bind(4, box.stamp.inode)
        .Bind(5, std::string_view(box.status));
    if (box.reason.empty()) {
        insert.BindNull(6);
    } else {
        insert.Bind(6, std::string_view(box.reason));
    }
    insert.Bind(7, box.exported)
        .Bind(8, int64_t{box.coverCompressed})
        .Bind(9, int64_t{box.dataCompressed})
        .Bind(10, box.coverFormat)
        .Bind(11, box.coverBytes)
        .Bind(12, Utf8(record.content))
        .Bind(13, Utf8(record.comment))
        .Bind(14, int64_t{record.unknownTokens});
    BindColumns(insert, kBoxFixedCount + 1, record.box, BoxColumns());
    insert.Run();
    const int64_t boxId = m_db.LastInsertId();

    SearchText boxText;
    Add(boxText, kTitle, record.box.title);
    Add(boxText, kEan, record.box.ean);
    Add(boxText, kContent, record.content);
    Add(boxText, kComment, record.comment);
    int64_t dvdPosition = 0;
    for (const DvdRecord& dvd : record.dvds) {
        m_insertDvd.Bind(1, boxId).Bind(2, dvdPosition++);
        BindColumns(m_insertDvd, 3, dvd, DvdColumns());
        m_insertDvd.Run();
        const int64_t dvdId = m_db.LastInsertId();
        Add(boxText, kTitle, dvd.title);
        int64_t filmPosition = 0;
        for (const FilmRecord& film : dvd.films) {
            m_insertFilm.Bind(1, boxId).Bind(2, dvdId).Bind(3, filmPosition++);
            BindColumns(m_insertFilm, 4, film, FilmColumns());
            m_insertFilm.Run();
            const int64_t filmId = m_db.LastInsertId();
            int64_t position = 0;
            for (const std::string& further : film.furtherTitles) {
                m_insertFurther.Bind(1, filmId).Bind(2, position++).Bind(3, Cp1252ToUtf8(further));
                m_insertFurther.Run();
            }
            position = 0;
            for (const LanguageRecord& language : film.languages) {
                m_insertLanguage.Bind(1, filmId)
                    .Bind(2, position++)
                    .Bind(3, Utf8(language.language))
                    .Bind(4, Utf8(language.detail));
                m_insertLanguage.Run();
            }
            position = 0;
            for (const PersonRecord& person : film.persons) {
                m_insertPerson.Bind(1, filmId)
                    .Bind(2, position++)
                    .Bind(3, Utf8(person.role))
                    .Bind(4, Utf8(person.name))
                    .Bind(5, Utf8(person.note));
                m_insertPerson.Run();
            }
            SearchText filmText;
            AddFilm(filmText, film);
            AddFilm(boxText, film);
            InsertText(m_insertFilmText, filmId, filmText);
        }
    }
    InsertText(m_insertBoxText, boxId, boxText);
    return boxId;
}

void BoxStore::ClearFolderProblems(const std::string& root) {
    m_clearProblems.Bind(1, std::string_view(root)).Bind(2, root == "/" ? root : root + "/");
    m_clearProblems.Run();
}

void BoxStore::AddFolderProblem(const std::string& path, const std::string& reason) {
    m_addProblem.Bind(1, std::string_view(path)).Bind(2, std::string_view(reason));
    m_addProblem.Run();
}

}  // namespace quorvel
