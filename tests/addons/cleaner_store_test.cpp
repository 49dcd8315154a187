#include "addons/cleaner_store.h"

#include <gtest/gtest.h>

#include "addons_sqlite.h"
#include "platform/files.h"
#include "support/scratch_folder.h"

namespace tarvo::addons {
namespace {

class CleanerStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::LoadTestSqlite(sqlite)); }

    std::vector<std::wstring> Tables() {
        platform::SqliteDatabase db;
        EXPECT_EQ(db.Open(sqlite, file, false), 0);
        auto names = db.Prepare("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name");
        std::vector<std::wstring> result;
        while (names.Step() == platform::SqliteLibrary::kRow) result.push_back(names.ColumnText(0));
        return result;
    }

    platform::SqliteLibrary sqlite;
    test::ScratchFolder scratch;
    std::wstring file = scratch.PathOf(L"BCleanerdb");
    const std::vector<std::wstring> allTables{L"iebackup", L"pluginscore", L"trusted", L"voted"};
};

TEST_F(CleanerStoreTest, QuotesRoundTripAndTrustRowsAreUpdatedInPlace) {
    CleanerStore store;
    ASSERT_TRUE(store.Open(&sqlite, file));
    EXPECT_EQ(Tables(), allTables);
    const StoreKey key{L"{id}", L"Bob's \"best\" bar'; DROP TABLE trusted;--", L"", L"O'Neil", 1, L"1.0"};
    EXPECT_EQ(store.LoadUserState(key).userFlag, 0);
    ASSERT_TRUE(store.WriteTrust(key, {L"C:\\a'b.dll", L"C:\\c.dll"}, 2));
    ASSERT_TRUE(store.WriteTrust(key, {L"C:\\a'b.dll"}, 1));

    StoreKey first = key;
    first.path = L"C:\\a'b.dll";
    EXPECT_EQ(store.LoadUserState(first).userFlag, 1);
    first.path = L"C:\\c.dll";
    EXPECT_EQ(store.LoadUserState(first).userFlag, 2);
    first.sysType = 0;
    EXPECT_EQ(store.LoadUserState(first).userFlag, 0);

    platform::SqliteDatabase db;
    ASSERT_EQ(db.Open(sqlite, file, false), 0);
    auto count = db.Prepare("SELECT COUNT(*) FROM trusted");
    ASSERT_EQ(count.Step(), platform::SqliteLibrary::kRow);
    EXPECT_EQ(count.ColumnInt(0), 2);
}

TEST_F(CleanerStoreTest, VotesGiveAFlagOnlyWithoutATrustRow) {
    CleanerStore store;
    ASSERT_TRUE(store.Open(&sqlite, file));
    StoreKey key{L"x", L"Bar", L"C:\\bar.dll", L"", 0, L"2"};
    ASSERT_TRUE(store.WriteVote(key, {key.path}, 1, L"20240102030405"));
    UserState state = store.LoadUserState(key);
    EXPECT_TRUE(state.voted);
    EXPECT_EQ(state.voteStars, 1);
    EXPECT_EQ(state.userFlag, 2);
    ASSERT_TRUE(store.WriteTrust(key, {key.path}, 1));
    EXPECT_EQ(store.LoadUserState(key).userFlag, 1);
}

TEST_F(CleanerStoreTest, BrokenOrMissingFilesAreReplacedAndLockedOnesKept) {
    const struct {
        const char* name;
        std::string content;
        bool setAside;
    } cases[] = {
        {"garbage", std::string(4096, 'x'), true},
        {"truncated header", "SQLite format 3", true},
        {"empty file", "", false},
    };
    for (const auto& c : cases) {
        (void)platform::DeleteFileOf(file + L".bad");
        ASSERT_TRUE(platform::WriteFileBytes(file, c.content)) << c.name;
        CleanerStore store;
        EXPECT_TRUE(store.Open(&sqlite, file)) << c.name;
        store.Close();
        EXPECT_EQ(Tables(), allTables) << c.name;
        EXPECT_EQ(platform::FileExists(file + L".bad"), c.setAside) << c.name;
    }

    // A store that lost tables gets them back; its rows stay.
    {
        platform::SqliteDatabase db;
        ASSERT_EQ(db.Open(sqlite, file, false), 0);
        ASSERT_EQ(db.Execute("DROP TABLE voted"), 0);
    }
    CleanerStore store;
    ASSERT_TRUE(store.Open(&sqlite, file));
    EXPECT_EQ(Tables(), allTables);
    EXPECT_FALSE(CleanerStore().Open(nullptr, file));

    // Held exclusively by another connection: no store this time, and the file is not touched.
    ASSERT_TRUE(store.WriteTrust({L"k", L"c", L"", L"", 0, L""}, {L"p"}, 1));
    platform::SqliteDatabase holder;
    ASSERT_EQ(holder.Open(sqlite, file, false), 0);
    ASSERT_EQ(holder.Execute("BEGIN EXCLUSIVE"), 0);
    store.Close();
    (void)platform::DeleteFileOf(file + L".bad");
    CleanerStore blocked;
    EXPECT_FALSE(blocked.Open(&sqlite, file));  // after the busy wait
    EXPECT_FALSE(platform::FileExists(file + L".bad"));
    ASSERT_EQ(holder.Execute("ROLLBACK"), 0);
    ASSERT_TRUE(blocked.Open(&sqlite, file));
    EXPECT_EQ(blocked.LoadUserState({L"k", L"c", L"p", L"", 0, L""}).userFlag, 1);
}

TEST(StoreNumber, ReadsDecimalTextOnly) {
    EXPECT_EQ(StoreNumber(L"7"), 7);
    EXPECT_EQ(StoreNumber(L"-3"), -3);
    EXPECT_EQ(StoreNumber(L"2.5"), std::nullopt);
    EXPECT_EQ(StoreNumber(L""), std::nullopt);
    EXPECT_EQ(StoreNumber(L"99999999999"), std::nullopt);
}

}  // namespace
}  // namespace tarvo::addons
