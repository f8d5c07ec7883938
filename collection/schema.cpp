#include "collection/schema.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "app/byte_read.h"
#include "app/unique_fd.h"
#include "collection/record_columns.h"

namespace quorvel {
namespace {

std::string ColumnList(std::span<const Field> table) {
    std::string sql;
    for (const Field* field : ColumnFields(table)) {
        sql += ", ";
        sql += field->name;
        sql += ' ';
        sql += SqlType(field->kind);
    }
    return sql;
}

// A film's lists are stored in the order of their key: one B-tree each, no
// separate index to keep up, and a film's rows are found by the key.
std::string ListTables() {
    std::string sql;
    for (const Field* list : ListFields(FilmFields())) {
        sql += "CREATE TABLE ";
        sql += list->name;
        sql +=
            " (film_id INTEGER NOT NULL REFERENCES films(id) ON DELETE CASCADE, "
            "position INTEGER NOT NULL";
        for (const std::string_view column : ListColumns(*list)) {
            sql += ", ";
            sql += column;
            sql += " TEXT";
        }
        sql += ", PRIMARY KEY (film_id, position)) WITHOUT ROWID;\n";
    }
    return sql;
}

std::string FtsTable(const char* name) {
    std::string sql = "CREATE VIRTUAL TABLE ";
    sql += name;
    sql += " USING fts5(";
    for (const char* column : kTextColumns) {
        sql += column;
        sql += ", ";
    }
    // Prefixes of one and two letters answer search-as-you-type quickly.
    sql += "tokenize = 'unicode61 remove_diacritics 2', prefix = '1 2');\n";
    // Titles weigh most, then persons; a word in the content least.
    sql += "INSERT INTO ";
    sql += name;
    sql += "(";
    sql += name;
    sql += ", rank) VALUES('rank', 'bm25(10, 6, 6, 4, 1, 1, 2, 1, 3, 0.5, 0.5)');\n";
    return sql;
}

bool IsMemory(const std::string& path) {
    return path == ":memory:";
}

// Holds an exclusive lock on "<path>.lock" while a database is opened and
// perhaps rebuilt, so two processes never rebuild one file at once. A lock
// of its own: SQLite's locks on the database must not be touched.
class OpenLock {
public:
    explicit OpenLock(const std::string& path) {
        if (!IsMemory(path)) {
            m_fd = UniqueFd(::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
            if (m_fd.Valid()) {
                while (::flock(m_fd.Get(), LOCK_EX) != 0 && errno == EINTR) {
                }
            }
        }
    }

private:
    UniqueFd m_fd;
};

// A database whose file is shorter than its own header says was cut off:
// SQLite would find that out only when it reads the missing pages.
bool LooksTruncated(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    std::array<unsigned char, 100> header{};
    if (!fd.Valid() || ::fstat(fd.Get(), &info) != 0 ||
        ReadFullyAt(fd.Get(), 0, header) != ReadOutcome::kComplete) {
        return false;
    }
    uint64_t pageSize = (uint64_t{header[16]} << 8) | header[17];
    if (pageSize == 1) {
        pageSize = 65536;
    }
    const uint64_t pages = (uint64_t{header[28]} << 24) | (uint64_t{header[29]} << 16) |
                           (uint64_t{header[30]} << 8) | header[31];
    const bool sizeValid =
        pages != 0 && std::equal(header.begin() + 24, header.begin() + 28, header.begin() + 92);
    return sizeValid && static_cast<uint64_t>(info.st_size) < pages * pageSize;
}

void Configure(Database& db, bool memory) {
    if (!memory) {
        db.Exec("PRAGMA journal_mode = WAL");
        // WAL keeps committed batches safe against a killed process; a lost
        // power costs at most the last batches, which the next run redoes.
        db.Exec("PRAGMA synchronous = NORMAL");
        // Fewer, larger checkpoints: each costs two syncs of the disk.
        db.Exec("PRAGMA wal_autocheckpoint = 8192");
    }
    // 8 MiB of pages: the indexes' recent pages stay in memory, and the
    // peak stays the same for a thousand boxes or a hundred thousand (the
    // system's file cache holds the rest).
    db.Exec("PRAGMA cache_size = -8192");
    db.Exec("PRAGMA foreign_keys = ON");
}

// Empty when the open database holds the current schema intact, else why
// it must be rebuilt. Throws SqliteError for a damaged file.
std::string Check(Database& db, const std::string& path) {
    const int64_t version = db.QueryInt("PRAGMA user_version").value_or(0);
    const int64_t tables = db.QueryInt("SELECT count(*) FROM sqlite_schema").value_or(0);
    if (version == 0 && tables == 0) {
        Transaction transaction(db);
        // Another process may have made it while this one waited.
        if (db.QueryInt("PRAGMA user_version").value_or(0) == 0) {
            db.Exec(SchemaSql());
        }
        transaction.Commit();
        return {};
    }
    if (version != kSchemaVersion) {
        return "schema version " + std::to_string(version) + " is not " +
               std::to_string(kSchemaVersion);
    }
    if (!IsMemory(path) && LooksTruncated(path)) {
        return "the file is shorter than its header says";
    }
    // Reads the root pages of every table, so a file cut short or
    // overwritten in the middle shows here rather than halfway through a run.
    db.Exec(
        "SELECT count(*) FROM boxes; SELECT 1 FROM films LIMIT 1; SELECT 1 FROM box_fts "
        "LIMIT 1; SELECT 1 FROM film_text LIMIT 1");
    return {};
}

OpenedDatabase Recreate(const std::string& path, std::string reason) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        ::unlink((path + suffix).c_str());
    }
    OpenedDatabase opened{std::make_unique<Database>(path), std::move(reason)};
    Configure(*opened.db, false);
    Check(*opened.db, path);
    return opened;
}

}  // namespace

std::string SchemaSql() {
    std::string sql =
        "CREATE TABLE boxes (id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, "
        "size INTEGER, mtime_ns INTEGER, inode INTEGER, status TEXT NOT NULL, reason TEXT";
    sql += ColumnList(BoxFileFields());
    sql += ");\n";
    sql +=
        "CREATE TABLE dvds (id INTEGER PRIMARY KEY, "
        "box_id INTEGER NOT NULL REFERENCES boxes(id) ON DELETE CASCADE, position INTEGER";
    sql += ColumnList(DvdFields());
    sql += ");\n";
    sql +=
        "CREATE TABLE films (id INTEGER PRIMARY KEY, "
        "box_id INTEGER NOT NULL REFERENCES boxes(id) ON DELETE CASCADE, "
        "dvd_id INTEGER NOT NULL, position INTEGER";
    sql += ColumnList(FilmFields());
    sql += ");\n";
    sql += ListTables();
    sql +=
        "CREATE TABLE unreadable_folders (path TEXT PRIMARY KEY, reason TEXT NOT NULL);\n"
        // What the window lists of each box, worked out when it is stored.
        "CREATE TABLE box_summary (box_id INTEGER PRIMARY KEY REFERENCES boxes(id) ON DELETE "
        "CASCADE, title TEXT, dvds_found INTEGER, films_found INTEGER, year_min INTEGER, "
        "year_max INTEGER, fsk INTEGER, genres TEXT);\n"
        "CREATE INDEX dvds_box ON dvds(box_id);\n"
        // A box's films by year or FSK: a search's jahr: and fsk: filters
        // probe these for each box the words found, never its films' rows;
        // the box alone uses either one's first column.
        "CREATE INDEX films_box_year ON films(box_id, year);\n"
        "CREATE INDEX films_box_fsk ON films(box_id, fsk);\n";
    sql += FtsTable("box_fts");
    // Each film's searchable texts, for telling which films of a hit box
    // matched: a plain table, since the search matches them itself.
    sql +=
        "CREATE TABLE film_text (film_id INTEGER PRIMARY KEY REFERENCES films(id) ON DELETE "
        "CASCADE";
    for (const char* column : kTextColumns) {
        sql += std::string(", ") + column + " TEXT";
    }
    sql += ");\n";
    sql += "PRAGMA user_version = " + std::to_string(kSchemaVersion) + ";\n";
    return sql;
}

OpenedDatabase OpenCollectionDatabase(const std::string& path) {
    const OpenLock lock(path);
    std::string reason;
    try {
        OpenedDatabase opened{std::make_unique<Database>(path), {}};
        Configure(*opened.db, IsMemory(path));
        reason = Check(*opened.db, path);
        if (reason.empty()) {
            return opened;
        }
    } catch (const SqliteError& error) {
        if (!error.Damaged()) {
            throw;
        }
        reason = error.what();
    }
    return Recreate(path, std::move(reason));
}

OpenedDatabase RebuildCollectionDatabase(const std::string& path, std::string reason) {
    const OpenLock lock(path);
    return Recreate(path, std::move(reason));
}

}  // namespace quorvel
