#include "collection/box_store.h"

#include <array>
#include <string_view>

#include "collection/record_columns.h"
#include "collection/text_columns.h"

namespace quorvel {
namespace {

std::string InsertSql(std::string_view table, std::vector<std::string_view> fixed,
                      std::span<const Field* const> fields) {
    for (const Field* field : fields) {
        fixed.push_back(field->name);
    }
    std::string sql = "INSERT INTO " + std::string(table) + " (";
    std::string values;
    for (size_t i = 0; i < fixed.size(); ++i) {
        sql += i == 0 ? "" : ", ";
        sql += fixed[i];
        values += i == 0 ? "?" : ", ?";
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

void BindColumns(Statement& statement, int first, const std::vector<ColumnValue>& cells) {
    int index = first;
    for (const ColumnValue& cell : cells) {
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

// The columns before the field table's, in each table.
const std::vector<std::string_view> kBoxFixed = {"path",  "size",   "mtime_ns",
                                                 "inode", "status", "reason"};
const std::vector<std::string_view> kDvdFixed = {"box_id", "position"};
const std::vector<std::string_view> kFilmFixed = {"box_id", "dvd_id", "position"};

std::vector<Statement> ListInserts(Database& db) {
    std::vector<Statement> inserts;
    for (const Field* list : ListFields(FilmFields())) {
        std::vector<std::string_view> columns = {"film_id", "position"};
        for (const std::string_view column : ListColumns(*list)) {
            columns.push_back(column);
        }
        inserts.push_back(db.Prepare(InsertSql(list->name, columns, {})));
    }
    return inserts;
}

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
      m_insertBox(db.Prepare(InsertSql("boxes", kBoxFixed, ColumnFields(BoxFileFields())))),
      m_insertDvd(db.Prepare(InsertSql("dvds", kDvdFixed, ColumnFields(DvdFields())))),
      m_insertFilm(db.Prepare(InsertSql("films", kFilmFixed, ColumnFields(FilmFields())))),
      m_insertLists(ListInserts(db)),
      m_insertBoxText(db.Prepare(FtsInsertSql("box_fts", "rowid"))),
      m_insertFilmText(db.Prepare(FtsInsertSql("film_text", "film_id"))),
      m_insertSummary(db.Prepare(
          "INSERT INTO box_summary (box_id, title, dvds_found, films_found, year_min, year_max, "
          "fsk, genres) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")),
      m_clearProblems(db.Prepare(
          "DELETE FROM unreadable_folders WHERE path = ?1 OR substr(path, 1, length(?2)) = ?2")),
      m_addProblem(
          db.Prepare("INSERT OR REPLACE INTO unreadable_folders (path, reason) VALUES (?, ?)")) {}

void BoxStore::Remove(int64_t boxId) {
    // The box's DVDs, films and their rows go with it (ON DELETE CASCADE).
    m_deleteBoxText.Bind(1, boxId).Run();
    m_deleteBox.Bind(1, boxId).Run();
}

int64_t BoxStore::Put(const BoxRows& box) {
    m_findBox.Bind(1, std::string_view(box.path));
    const bool present = m_findBox.Step();
    const int64_t oldId = present ? m_findBox.Int(0) : 0;
    m_findBox.Reset();
    if (present) {
        Remove(oldId);
    }

    Statement& insert = m_insertBox;
    insert.Bind(1, std::string_view(box.path))
        .Bind(2, box.stamp.size)
        .Bind(3, box.stamp.mtimeNs)
        .Bind(4, box.stamp.inode)
        .Bind(5, std::string_view(box.status))
        .Bind(6, box.reason);
    BindColumns(insert, static_cast<int>(kBoxFixed.size()) + 1, box.columns);
    insert.Run();
    const int64_t boxId = m_db.LastInsertId();

    int64_t dvdPosition = 0;
    for (const DvdRows& dvd : box.dvds) {
        m_insertDvd.Bind(1, boxId).Bind(2, dvdPosition++);
        BindColumns(m_insertDvd, 3, dvd.columns);
        m_insertDvd.Run();
        const int64_t dvdId = m_db.LastInsertId();
        int64_t filmPosition = 0;
        for (const FilmRows& film : dvd.films) {
            m_insertFilm.Bind(1, boxId).Bind(2, dvdId).Bind(3, filmPosition++);
            BindColumns(m_insertFilm, 4, film.columns);
            m_insertFilm.Run();
            const int64_t filmId = m_db.LastInsertId();
            for (size_t list = 0; list < film.lists.size(); ++list) {
                Statement& insertList = m_insertLists[list];
                int64_t position = 0;
                for (const ListRow& row : film.lists[list]) {
                    insertList.Bind(1, filmId).Bind(2, position++);
                    BindColumns(insertList, 3, row);
                    insertList.Run();
                }
            }
            InsertText(m_insertFilmText, filmId, film.text);
        }
    }
    InsertText(m_insertBoxText, boxId, box.text);
    const BoxSummary& summary = box.summary;
    m_insertSummary.Bind(1, boxId)
        .Bind(2, summary.title)
        .Bind(3, summary.dvds)
        .Bind(4, summary.films)
        .Bind(5, summary.yearMin)
        .Bind(6, summary.yearMax)
        .Bind(7, summary.fsk)
        .Bind(8, summary.genres);
    m_insertSummary.Run();
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
