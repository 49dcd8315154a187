#include "addons/cleaner_store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "addons/addon_text.h"
#include "platform/files.h"

namespace tarvo::addons {

namespace {

using platform::SqliteLibrary;

const char* const kTableNames[] = {"iebackup", "pluginscore", "trusted", "voted"};
const char* const kCreateTables[] = {
    "CREATE TABLE iebackup (id TEXT,key TEXT,value TEXT)",
    "CREATE TABLE pluginscore (itemid TEXT, caption TEXT, publisher TEXT, version TEXT, source TEXT, systype "
    "NUMERIC, score NUMERIC);",
    "CREATE TABLE trusted (flag NUMERIC, pid INTEGER PRIMARY KEY, itemid TEXT, caption TEXT, path TEXT, publisher "
    "TEXT, systype NUMERIC, version TEXT);",
    "CREATE TABLE voted (itemid TEXT, caption TEXT, path TEXT, publisher TEXT, systype NUMERIC, version TEXT, score "
    "NUMERIC, votedate TEXT);",
};

const char* const kSelectFlag =
    "SELECT flag FROM trusted WHERE itemid=? AND caption=? AND path=? AND publisher=? AND systype=? AND version=?";
const char* const kSelectScore =
    "SELECT score FROM pluginscore WHERE itemid=? AND caption=? AND source=? AND publisher=? AND systype=? AND "
    "version=?";
const char* const kSelectVote =
    "SELECT score FROM voted WHERE itemid=? AND caption=? AND path=? AND publisher=? AND systype=? AND version=?";
const char* const kSelectPid =
    "SELECT pid FROM trusted WHERE itemid=? AND caption=? AND path=? AND publisher=? AND systype=? AND version=?";
const char* const kUpdateFlag = "UPDATE trusted SET flag=? WHERE pid=?";
const char* const kInsertTrust =
    "INSERT INTO trusted(itemid,caption,path,publisher,systype,version,flag) VALUES(?,?,?,?,?,?,?)";
const char* const kInsertVote = "INSERT INTO voted VALUES(?,?,?,?,?,?,?,?)";

bool IsNotADatabase(int code) {
    return code == platform::kSqliteNotADatabase || code == platform::kSqliteCorrupt;
}

// The first column of the first row as text; nullopt when there is no row or the step failed.
std::optional<std::wstring> FirstText(platform::SqliteStatement& statement) {
    if (!statement.IsValid() || statement.Step() != SqliteLibrary::kRow) return std::nullopt;
    return statement.ColumnText(0);
}

}  // namespace

std::optional<std::int32_t> StoreNumber(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == L' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        value = value * 10 + (text[i] - L'0');
        if (value > 0x80000000LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > 0x7FFFFFFF) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

void CleanerStore::Close() noexcept {
    selectFlag_ = {};
    selectScore_ = {};
    selectVote_ = {};
    db_.Close();
}

bool CleanerStore::Open(const SqliteLibrary* library, const std::wstring& file) {
    Close();
    if (!library || !library->IsLoaded() || file.empty()) return false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        int result = db_.Open(*library, file, true);
        if (result == SqliteLibrary::kOk) result = EnsureTables();
        if (result == SqliteLibrary::kOk) return true;
        db_.Close();
        // Only a file that is plainly not a database is set aside. A busy or locked one
        // holds the user's choices and stays as it is; the page then runs without a store.
        const bool broken = IsNotADatabase(result) || (result == platform::kSqliteCantOpen && platform::FileExists(file));
        if (attempt > 0 || !broken || !platform::MoveFileReplacing(file, file + L".bad")) return false;
        (void)platform::DeleteFileOf(file + L"-journal");  // belonged to the file set aside
    }
    return false;
}

int CleanerStore::EnsureTables() {
    // Reading the schema is what tells a database from any other file.
    int result = SqliteLibrary::kOk;
    auto names = db_.Prepare("SELECT name FROM sqlite_master WHERE type='table'", &result);
    if (!names.IsValid()) return result;
    std::vector<std::wstring> existing;
    for (int step = names.Step();; step = names.Step()) {
        if (step == SqliteLibrary::kDone) break;
        if (step != SqliteLibrary::kRow) return step;
        existing.push_back(CaseKey(names.ColumnText(0)));
    }
    names = {};
    bool missing = false;
    for (const char* name : kTableNames) {
        const std::wstring key = CaseKey(std::wstring(name, name + strlen(name)));
        missing = missing || std::find(existing.begin(), existing.end(), key) == existing.end();
    }
    if (!missing) return SqliteLibrary::kOk;
    platform::SqliteTransaction transaction(db_);
    if (!transaction.Began()) return platform::kSqliteBusy;
    for (std::size_t i = 0; i < std::size(kTableNames); ++i) {
        const char* name = kTableNames[i];
        const std::wstring key = CaseKey(std::wstring(name, name + strlen(name)));
        if (std::find(existing.begin(), existing.end(), key) != existing.end()) continue;
        result = db_.Execute(kCreateTables[i]);
        if (result != SqliteLibrary::kOk) return result;
    }
    return transaction.Commit();
}

bool CleanerStore::BindMatch(platform::SqliteStatement& statement, const StoreKey& key) {
    return statement.BindText(1, key.itemId) == SqliteLibrary::kOk &&
           statement.BindText(2, key.caption) == SqliteLibrary::kOk &&
           statement.BindText(3, key.path) == SqliteLibrary::kOk &&
           statement.BindText(4, key.publisher) == SqliteLibrary::kOk &&
           statement.BindInt(5, key.sysType) == SqliteLibrary::kOk &&
           statement.BindText(6, key.version) == SqliteLibrary::kOk;
}

platform::SqliteStatement CleanerStore::PrepareMatch(const char* sql, const StoreKey& key) {
    auto statement = db_.Prepare(sql);
    if (!statement.IsValid()) return statement;
    return BindMatch(statement, key) ? std::move(statement) : platform::SqliteStatement();
}

std::optional<std::wstring> CleanerStore::LookUp(platform::SqliteStatement& statement, const char* sql,
                                                 const StoreKey& key) {
    // A statement on a missing table fails to prepare; it is tried again next time, as a
    // fresh statement per look-up would be.
    if (!statement.IsValid()) statement = db_.Prepare(sql);
    if (!statement.IsValid()) return std::nullopt;
    std::optional<std::wstring> text;
    if (BindMatch(statement, key)) text = FirstText(statement);
    (void)statement.Reset();
    return text;
}

UserState CleanerStore::LoadUserState(const StoreKey& key) {
    UserState state;
    if (!db_.IsOpen()) return state;
    if (const auto text = LookUp(selectFlag_, kSelectFlag, key))
        state.userFlag = static_cast<std::uint8_t>(StoreNumber(*text).value_or(1));
    if (const auto text = LookUp(selectScore_, kSelectScore, key)) state.tableScore = StoreNumber(*text).value_or(0);
    if (const auto text = LookUp(selectVote_, kSelectVote, key)) {
        state.voted = true;
        state.voteStars = StoreNumber(*text).value_or(0);
        if (state.userFlag == 0) state.userFlag = state.voteStars >= 2 ? 1 : 2;
    }
    return state;
}

std::unique_ptr<platform::SqliteTransaction> CleanerStore::BeginReading() {
    if (!db_.IsOpen()) return nullptr;
    return std::make_unique<platform::SqliteTransaction>(db_);
}

bool CleanerStore::WriteTrust(StoreKey key, const std::vector<std::wstring>& paths, std::int32_t flag) {
    if (!db_.IsOpen()) return false;
    platform::SqliteTransaction transaction(db_);
    if (!transaction.Began()) return false;
    for (const auto& path : paths) {
        key.path = path;
        auto select = PrepareMatch(kSelectPid, key);
        if (!select.IsValid()) return false;
        const int step = select.Step();
        if (step != SqliteLibrary::kRow && step != SqliteLibrary::kDone) return false;
        platform::SqliteStatement write;
        if (step == SqliteLibrary::kRow) {
            const std::int64_t pid = select.ColumnInt(0);
            write = db_.Prepare(kUpdateFlag);
            if (write.BindInt(1, flag) != SqliteLibrary::kOk || write.BindInt(2, pid) != SqliteLibrary::kOk)
                return false;
        } else {
            write = PrepareMatch(kInsertTrust, key);
            if (write.BindInt(7, flag) != SqliteLibrary::kOk) return false;
        }
        if (write.Step() != SqliteLibrary::kDone) return false;
    }
    return transaction.Commit() == SqliteLibrary::kOk;
}

bool CleanerStore::WriteVote(StoreKey key, const std::vector<std::wstring>& paths, std::int32_t stars,
                             const std::wstring& timeText) {
    if (!db_.IsOpen()) return false;
    platform::SqliteTransaction transaction(db_);
    if (!transaction.Began()) return false;
    for (const auto& path : paths) {
        key.path = path;
        auto insert = PrepareMatch(kInsertVote, key);
        if (insert.BindInt(7, stars) != SqliteLibrary::kOk || insert.BindText(8, timeText) != SqliteLibrary::kOk ||
            insert.Step() != SqliteLibrary::kDone)
            return false;
    }
    return transaction.Commit() == SqliteLibrary::kOk;
}

std::wstring VoteTimeText(const SYSTEMTIME& time) {
    wchar_t text[32];
    swprintf(text, 32, L"%04u%02u%02u%02u%02u%02u", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
             time.wSecond);
    return text;
}

}  // namespace tarvo::addons
