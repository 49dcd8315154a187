#pragma once
// A database file, its prepared statements and transactions over the run-time-loaded
// SQLite library. Values always travel as bound parameters, never inside the statement
// text. Never throws; results are SQLite's own codes.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/sqlite_library.h"

namespace tarvo::platform {

inline constexpr int kSqliteBusy = 5;
inline constexpr int kSqliteLocked = 6;
inline constexpr int kSqliteCorrupt = 11;
inline constexpr int kSqliteCantOpen = 14;
inline constexpr int kSqliteNotADatabase = 26;
inline constexpr int kSqliteMisuse = 21;

// One prepared statement; finalised when it goes.
class SqliteStatement {
public:
    SqliteStatement() noexcept = default;
    SqliteStatement(const SqliteLibrary* library, sqlite3_stmt* statement) noexcept
        : library_(library), statement_(statement) {}
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    [[nodiscard]] bool IsValid() const noexcept { return statement_ != nullptr; }
    // Parameters count from 1, as in SQLite. The text is copied by the library.
    [[nodiscard]] int BindText(int index, const std::wstring& text) noexcept;
    [[nodiscard]] int BindInt(int index, std::int64_t value) noexcept;
    // SqliteLibrary::kRow while rows come, kDone at the end, otherwise an error code.
    [[nodiscard]] int Step() noexcept;
    // Back to before the first row, its values kept, so one preparation serves many runs.
    int Reset() noexcept;
    // A column of the current row as text; empty for NULL or on failure.
    [[nodiscard]] std::wstring ColumnText(int column) const noexcept;
    [[nodiscard]] std::int64_t ColumnInt(int column) const noexcept;

private:
    const SqliteLibrary* library_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
};

// One connection to a database file; closed when it goes.
class SqliteDatabase {
public:
    SqliteDatabase() noexcept = default;
    ~SqliteDatabase();
    SqliteDatabase(SqliteDatabase&& other) noexcept;
    SqliteDatabase& operator=(SqliteDatabase&& other) noexcept;
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // sqlite3_open_v2 read/write, creating the file when `create`; waits up to
    // `busyMilliseconds` for another connection's lock. kOk or SQLite's code; on failure
    // nothing stays open.
    [[nodiscard]] int Open(const SqliteLibrary& library, const std::wstring& path, bool create,
                           int busyMilliseconds = 2000) noexcept;
    void Close() noexcept;
    [[nodiscard]] bool IsOpen() const noexcept { return db_ != nullptr; }

    // A statement with `?` parameters; invalid on failure, with SQLite's code in `result`.
    [[nodiscard]] SqliteStatement Prepare(std::string_view sql, int* result = nullptr) noexcept;
    // A statement without parameters or rows (DDL, BEGIN, COMMIT); kOk or the error.
    [[nodiscard]] int Execute(std::string_view sql) noexcept;
    // The connection's last error text, for logs.
    [[nodiscard]] std::wstring LastError() const noexcept;

private:
    const SqliteLibrary* library_ = nullptr;
    sqlite3* db_ = nullptr;
};

// BEGIN on construction; ROLLBACK on destruction unless Commit succeeded.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase& db) noexcept;
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;

    [[nodiscard]] bool Began() const noexcept { return began_; }
    [[nodiscard]] int Commit() noexcept;

private:
    SqliteDatabase& db_;
    bool began_ = false;
};

}  // namespace tarvo::platform
