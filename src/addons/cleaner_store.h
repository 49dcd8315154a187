#pragma once
// BCleanerdb, the user's own add-on store: trust choices, votes and table scores. Every
// statement is prepared with its values bound, so no caption or path can break one.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sqlite_database.h"

namespace tarvo::addons {

// The six values an add-on is matched by in every table.
struct StoreKey {
    std::wstring itemId, caption, path, publisher;
    std::int32_t sysType = 0;
    std::wstring version;
};

// What the store knows of one add-on; zeros when nothing.
struct UserState {
    std::uint8_t userFlag = 0;      // trusted.flag, or derived from the vote
    std::int32_t tableScore = 0;    // pluginscore.score
    bool voted = false;
    std::int32_t voteStars = 0;     // voted.score
};

// The file name inside the data folder.
inline constexpr wchar_t kStoreFileName[] = L"BCleanerdb";

// Decimal text as a number, as the store's readers take it; nullopt when not a number.
[[nodiscard]] std::optional<std::int32_t> StoreNumber(const std::wstring& text);

class CleanerStore {
public:
    // Opens `file`, creating it and every missing table. A file that is not a database
    // (truncated, garbage) is moved aside as "BCleanerdb.bad" and a new one made in its
    // place; a file another program holds locked is left alone. False when there is no
    // usable store, the library included.
    [[nodiscard]] bool Open(const platform::SqliteLibrary* library, const std::wstring& file);
    void Close() noexcept;
    [[nodiscard]] bool IsOpen() const noexcept { return db_.IsOpen(); }

    // The trusted, pluginscore and voted rows of the add-on; a statement that fails counts
    // as no row.
    [[nodiscard]] UserState LoadUserState(const StoreKey& key);
    // One read lock held over many look-ups (a whole scan); taking and dropping the file's
    // lock for every look-up cost more than the look-ups. Null when the store is closed.
    // Nothing may be written while it lives.
    [[nodiscard]] std::unique_ptr<platform::SqliteTransaction> BeginReading();

    // For each path of the add-on, the trust row updated or inserted, all in one
    // transaction. False when anything failed: then nothing was written.
    [[nodiscard]] bool WriteTrust(StoreKey key, const std::vector<std::wstring>& paths, std::int32_t flag);

    // One voted row per path, stamped with `timeText`, in one transaction.
    [[nodiscard]] bool WriteVote(StoreKey key, const std::vector<std::wstring>& paths, std::int32_t stars,
                                 const std::wstring& timeText);

private:
    [[nodiscard]] int EnsureTables();
    [[nodiscard]] platform::SqliteStatement PrepareMatch(const char* sql, const StoreKey& key);
    [[nodiscard]] static bool BindMatch(platform::SqliteStatement& statement, const StoreKey& key);
    // The first column of the first row of one of LoadUserState's look-ups, run through a
    // statement prepared once per connection; nullopt when there is no row or it failed.
    [[nodiscard]] std::optional<std::wstring> LookUp(platform::SqliteStatement& statement, const char* sql,
                                                     const StoreKey& key);

    platform::SqliteDatabase db_;
    // LoadUserState runs for every add-on a scan finds: its three statements are prepared
    // on first use and kept (reset after each run, so none holds a read lock in between).
    // Declared after db_ so they are finalised before the connection closes.
    platform::SqliteStatement selectFlag_, selectScore_, selectVote_;
};

// The local time as the voted table stamps it: "yyyymmddhhnnss".
[[nodiscard]] std::wstring VoteTimeText(const SYSTEMTIME& time);

}  // namespace tarvo::addons
