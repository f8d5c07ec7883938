// The collection database's schema, and opening a database file so that
// whatever is found there (nothing, an older schema, a damaged file, not a
// database at all) ends as a database of the current schema.
#pragma once

#include <memory>
#include <string>

#include "collection/sqlite_db.h"
#include "collection/text_columns.h"

namespace quorvel {

// PRAGMA user_version of the schema this program writes. Raise it with
// every change of a table, column or the full-text setup: a database of
// another version is rebuilt, never read.
inline constexpr int kSchemaVersion = 4;

// The schema's SQL, one statement per line end, for the README and tests.
std::string SchemaSql();

struct OpenedDatabase {
    std::unique_ptr<Database> db;
    // Why what was there was thrown away; empty when it was kept or new.
    std::string rebuilt;
};

// Opens the database at `path` (":memory:" for one in memory) in WAL mode,
// with foreign keys on; creates the schema in a new file; rebuilds a file
// that is no database, is visibly damaged, or holds another schema version.
// Two processes opening one file at once agree through a lock file beside
// it. Throws SqliteError when even a new file cannot be made.
OpenedDatabase OpenCollectionDatabase(const std::string& path);

// Throws the file away and makes it anew, for a damage found only later.
OpenedDatabase RebuildCollectionDatabase(const std::string& path, std::string reason);

}  // namespace quorvel
