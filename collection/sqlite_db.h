// A small RAII layer over SQLite's C API: a connection, prepared statements
// with bound parameters, and transactions. Our own rather than a packaged
// C++ wrapper: the few calls we need (busy handling, the extended error
// codes that tell a damaged file, FTS5 through plain SQL) are direct here,
// and nothing is added to what a user must install beyond libsqlite3.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvel {

class SqliteError : public std::runtime_error {
public:
    SqliteError(int code, const std::string& message) : std::runtime_error(message), m_code(code) {}
    // The extended result code.
    int Code() const { return m_code; }
    // The file is no database or is damaged: it can only be rebuilt.
    bool Damaged() const {
        const int primary = m_code & 0xFF;
        return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
    }

private:
    int m_code;
};

class Statement;

class Database {
public:
    // Opens (creating when missing) the database at `path`; ":memory:" for
    // one held in memory. Throws SqliteError.
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs SQL text that takes no parameters (schema, pragmas).
    void Exec(const std::string& sql);
    Statement Prepare(std::string_view sql);
    // The first column of the first row of `sql`, when there is one.
    std::optional<int64_t> QueryInt(std::string_view sql);
    int64_t LastInsertId() const;
    sqlite3* Handle() const { return m_db; }

    [[noreturn]] void Fail(int code) const;

private:
    sqlite3* m_db = nullptr;
};

class Statement {
public:
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1. A text is copied by SQLite.
    Statement& Bind(int index, int64_t value);
    Statement& Bind(int index, double value);
    Statement& Bind(int index, std::string_view text);
    Statement& Bind(int index, const std::string& text) {
        return Bind(index, std::string_view(text));
    }
    Statement& Bind(int index, const char* text) { return Bind(index, std::string_view(text)); }
    Statement& Bind(int index, const std::optional<std::string>& text);
    Statement& Bind(int index, const std::optional<int64_t>& value);
    Statement& BindNull(int index);
    // A named parameter (":name"); one the statement lacks is an error.
    Statement& BindNamed(const char* name, int64_t value) { return Bind(Index(name), value); }
    Statement& BindNamed(const char* name, std::string_view text) {
        return Bind(Index(name), text);
    }

    // True while there is a row; false when done. Throws on an error.
    bool Step();
    // Runs a statement that returns no rows, then resets it for the next use.
    void Run();
    // Ready for a new run; the bindings are cleared.
    void Reset();

    bool IsNull(int column) const;
    int64_t Int(int column) const;
    double Real(int column) const;
    std::string Text(int column) const;
    std::optional<std::string> OptionalText(int column) const;
    std::optional<int64_t> OptionalInt(int column) const;

private:
    int Index(const char* name) const;

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// BEGIN IMMEDIATE on construction, so a writer waits for the lock here
// rather than failing at its first write; rolled back unless committed.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    Database& m_db;
    bool m_open = true;
};

}  // namespace quorvel
