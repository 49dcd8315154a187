#include "platform/sqlite_database.h"

#include <utility>

#include "platform/text.h"

namespace tarvo::platform {

SqliteStatement::~SqliteStatement() {
    if (statement_ && library_ && library_->finalize) library_->finalize(statement_);
}

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : library_(other.library_), statement_(std::exchange(other.statement_, nullptr)) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& other) noexcept {
    if (this != &other) {
        SqliteStatement old(std::move(*this));
        library_ = other.library_;
        statement_ = std::exchange(other.statement_, nullptr);
    }
    return *this;
}

int SqliteStatement::BindText(int index, const std::wstring& text) noexcept {
    if (!statement_) return kSqliteMisuse;
    // SQLITE_TRANSIENT: the library takes its own copy.
    auto* const transient = reinterpret_cast<void (*)(void*)>(-1);
    return library_->bind_text16(statement_, index, text.c_str(),
                                 static_cast<int>(text.size() * sizeof(wchar_t)), transient);
}

int SqliteStatement::BindInt(int index, std::int64_t value) noexcept {
    if (!statement_) return kSqliteMisuse;
    return library_->bind_int64(statement_, index, value);
}

int SqliteStatement::Step() noexcept {
    if (!statement_) return kSqliteMisuse;
    return library_->step(statement_);
}

int SqliteStatement::Reset() noexcept {
    if (!statement_) return kSqliteMisuse;
    return library_->reset(statement_);
}

std::wstring SqliteStatement::ColumnText(int column) const noexcept {
    if (!statement_) return {};
    try {
        return library_->ColumnText(statement_, column);
    } catch (...) {
        return {};
    }
}

std::int64_t SqliteStatement::ColumnInt(int column) const noexcept {
    return statement_ ? library_->column_int64(statement_, column) : 0;
}

SqliteDatabase::~SqliteDatabase() { Close(); }

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : library_(other.library_), db_(std::exchange(other.db_, nullptr)) {}

SqliteDatabase& SqliteDatabase::operator=(SqliteDatabase&& other) noexcept {
    if (this != &other) {
        Close();
        library_ = other.library_;
        db_ = std::exchange(other.db_, nullptr);
    }
    return *this;
}

int SqliteDatabase::Open(const SqliteLibrary& library, const std::wstring& path, bool create,
                         int busyMilliseconds) noexcept {
    Close();
    if (!library.IsLoaded()) return kSqliteMisuse;
    library_ = &library;
    std::string name;
    try {
        name = Utf8FromWide(path);
    } catch (...) {
        return kSqliteMisuse;
    }
    const int flags = SqliteLibrary::kOpenReadWrite | (create ? SqliteLibrary::kOpenCreate : 0);
    sqlite3* db = nullptr;
    const int result = library.open_v2(name.c_str(), &db, flags, nullptr);
    if (result != SqliteLibrary::kOk) {
        // The library hands out a handle even for a failed open; it must still be closed.
        if (db) library.close(db);
        return result;
    }
    db_ = db;
    library.busy_timeout(db_, busyMilliseconds);
    return SqliteLibrary::kOk;
}

void SqliteDatabase::Close() noexcept {
    if (db_ && library_) library_->close(db_);
    db_ = nullptr;
}

SqliteStatement SqliteDatabase::Prepare(std::string_view sql, int* result) noexcept {
    int code = kSqliteMisuse;
    sqlite3_stmt* statement = nullptr;
    if (db_) code = library_->prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr);
    if (result) *result = code;
    if (code != SqliteLibrary::kOk) {
        if (statement) library_->finalize(statement);
        return {};
    }
    return SqliteStatement(library_, statement);
}

int SqliteDatabase::Execute(std::string_view sql) noexcept {
    int result = SqliteLibrary::kOk;
    SqliteStatement statement = Prepare(sql, &result);
    if (!statement.IsValid()) return result;
    int step = statement.Step();
    while (step == SqliteLibrary::kRow) step = statement.Step();
    return step == SqliteLibrary::kDone ? SqliteLibrary::kOk : step;
}

std::wstring SqliteDatabase::LastError() const noexcept {
    if (!db_) return {};
    try {
        const auto* text = static_cast<const wchar_t*>(library_->errmsg16(db_));
        return text ? std::wstring(text) : std::wstring();
    } catch (...) {
        return {};
    }
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) noexcept
    : db_(db), began_(db.Execute("BEGIN") == SqliteLibrary::kOk) {}

SqliteTransaction::~SqliteTransaction() {
    if (began_) (void)db_.Execute("ROLLBACK");
}

int SqliteTransaction::Commit() noexcept {
    if (!began_) return kSqliteMisuse;
    const int result = db_.Execute("COMMIT");
    if (result == SqliteLibrary::kOk) began_ = false;
    return result;
}

}  // namespace tarvo::platform
