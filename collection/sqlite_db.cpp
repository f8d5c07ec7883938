#include "collection/sqlite_db.h"

#include <utility>

namespace quorvel {
namespace {

// Another process writing the same database holds its lock for one batch;
// waiting this long covers a slow disk and a busy machine.
constexpr int kBusyTimeoutMs = 120000;

[[noreturn]] void Throw(sqlite3* db, int code) {
    const int extended = db != nullptr ? sqlite3_extended_errcode(db) : code;
    std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    throw SqliteError(extended != 0 ? extended : code, message);
}

}  // namespace

Database::Database(const std::string& path) {
    // SQLite counts every allocation under a global mutex unless told not
    // to before it first starts; nothing here reads those counts. A later
    // call (SQLite already started) is refused and changes nothing.
    static const int kNoMemoryStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    (void)kNoMemoryStatistics;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const int code = sqlite3_open_v2(path.c_str(), &m_db, flags, nullptr);
    if (code != SQLITE_OK) {
        std::string message = m_db != nullptr ? sqlite3_errmsg(m_db) : sqlite3_errstr(code);
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw SqliteError(code, message);
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
}

Database::~Database() {
    sqlite3_close_v2(m_db);
}

void Database::Fail(int code) const {
    Throw(m_db, code);
}

void Database::Exec(const std::string& sql) {
    char* error = nullptr;
    const int code = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error);
    if (code != SQLITE_OK) {
        const std::string message = error != nullptr ? error : sqlite3_errstr(code);
        sqlite3_free(error);
        throw SqliteError(sqlite3_extended_errcode(m_db), message);
    }
}

Statement Database::Prepare(std::string_view sql) {
    return Statement(m_db, sql);
}

std::optional<int64_t> Database::QueryInt(std::string_view sql) {
    Statement statement(m_db, sql);
    if (!statement.Step() || statement.IsNull(0)) {
        return std::nullopt;
    }
    return statement.Int(0);
}

int64_t Database::LastInsertId() const {
    return sqlite3_last_insert_rowid(m_db);
}

Statement::Statement(sqlite3* db, std::string_view sql) : m_db(db) {
    const int code =
        sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
    if (code != SQLITE_OK) {
        Throw(db, code);
    }
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement&& other) noexcept
    : m_db(other.m_db), m_stmt(std::exchange(other.m_stmt, nullptr)) {}

Statement& Statement::Bind(int index, int64_t value) {
    if (const int code = sqlite3_bind_int64(m_stmt, index, value); code != SQLITE_OK) {
        Throw(m_db, code);
    }
    return *this;
}

Statement& Statement::Bind(int index, double value) {
    if (const int code = sqlite3_bind_double(m_stmt, index, value); code != SQLITE_OK) {
        Throw(m_db, code);
    }
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
    const int code =
        sqlite3_bind_text64(m_stmt, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    if (code != SQLITE_OK) {
        Throw(m_db, code);
    }
    return *this;
}

Statement& Statement::Bind(int index, const std::optional<std::string>& text) {
    return text ? Bind(index, std::string_view(*text)) : BindNull(index);
}

Statement& Statement::Bind(int index, const std::optional<int64_t>& value) {
    return value ? Bind(index, *value) : BindNull(index);
}

int Statement::Index(const char* name) const {
    const int index = sqlite3_bind_parameter_index(m_stmt, name);
    if (index == 0) {
        throw SqliteError(SQLITE_RANGE, std::string("no parameter ") + name);
    }
    return index;
}

Statement& Statement::BindNull(int index) {
    if (const int code = sqlite3_bind_null(m_stmt, index); code != SQLITE_OK) {
        Throw(m_db, code);
    }
    return *this;
}

bool Statement::Step() {
    const int code = sqlite3_step(m_stmt);
    if (code == SQLITE_ROW) {
        return true;
    }
    if (code == SQLITE_DONE) {
        return false;
    }
    sqlite3_reset(m_stmt);
    Throw(m_db, code);
}

void Statement::Run() {
    while (Step()) {
    }
    Reset();
}

void Statement::Reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

bool Statement::IsNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

int64_t Statement::Int(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

double Statement::Real(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

std::string Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    const int size = sqlite3_column_bytes(m_stmt, column);
    return text != nullptr ? std::string(text, static_cast<size_t>(size)) : std::string();
}

std::optional<std::string> Statement::OptionalText(int column) const {
    return IsNull(column) ? std::nullopt : std::optional<std::string>(Text(column));
}

std::optional<int64_t> Statement::OptionalInt(int column) const {
    return IsNull(column) ? std::nullopt : std::optional<int64_t>(Int(column));
}

Transaction::Transaction(Database& db) : m_db(db) {
    m_db.Exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (m_open) {
        sqlite3_exec(m_db.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

void Transaction::Commit() {
    m_db.Exec("COMMIT");
    m_open = false;
}

}  // namespace quorvel
