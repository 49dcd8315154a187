#include <gtest/gtest.h>


#include "platform/files.h"
#include "platform/folders.h"
#include "platform/sqlite_library.h"
#include "shell/statistics_library.h"
#include "support/scratch_folder.h"

using namespace tarvo;

namespace {
std::wstring BinFolder() {
    const std::wstring exe = platform::GetModuleFilePath();
    return exe.substr(0, exe.find_last_of(L'\\') + 1);
}

std::string ReadAll(const std::wstring& path) {
    const platform::unique_hfile file = platform::CreateFileOf(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (!file) return {};
    std::string content(64 * 1024, '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr)) return {};
    content.resize(read);
    return content;
}
}  // namespace

TEST(StatisticsLibrary, CallsReachTheLibraryWithTheirArgumentsInOrder) {
    test::ScratchFolder folder;
    const std::wstring dll = folder.PathOf(L"UsageReport.dll");
    ASSERT_TRUE(::CopyFileW((BinFolder() + L"usage_report_double\\UsageReport.dll").c_str(), dll.c_str(), FALSE));
    {
        shell::TStatisticsLibrary statistics;
        ASSERT_TRUE(statistics.Load(dll));
        EXPECT_EQ(statistics.SetStatParam(L"3.0.0.1"), 1);
        EXPECT_EQ(statistics.DoStatistic(L"0", 7, 0, 0, 0), 1);
        EXPECT_EQ(statistics.DoStatistic(L"3", 0, 0, 0, 0), 1);
        EXPECT_EQ(statistics.DoStatistic(L"12", 1, -2, 3, 2147483647), 1);
    }
    EXPECT_EQ(ReadAll(folder.PathOf(L"UsageReport.log")),
              "SetStatParam tu3|3.0.0.1|tarvo|0\n"
              "DoStatistic tu3|0|7|0|0|0\n"
              "DoStatistic tu3|3|0|0|0|0\n"
              "DoStatistic tu3|12|1|-2|3|2147483647\n");
}

TEST(StatisticsLibrary, WithoutTheLibraryEveryCallIsSkipped) {
    test::ScratchFolder folder;
    shell::TStatisticsLibrary statistics;
    EXPECT_FALSE(statistics.Load(folder.PathOf(L"UsageReport.dll")));
    EXPECT_FALSE(statistics.IsLoaded());
    EXPECT_EQ(statistics.SetStatParam(L"3.0.0.1"), 0);
    EXPECT_EQ(statistics.DoStatistic(L"0", 7, 0, 0, 0), 0);
    // A file that is no library is skipped the same way.
    folder.MakeFile(L"UsageReport.dll", "not a library");
    EXPECT_FALSE(statistics.Load(folder.PathOf(L"UsageReport.dll")));
    EXPECT_EQ(statistics.DoStatistic(L"0", 7, 0, 0, 0), 0);
}

TEST(SqliteLibrary, BindsByNameAndRunsStatements) {
    platform::SqliteLibrary sqlite;
    ASSERT_TRUE(sqlite.Load(BinFolder() + L"sqlite3.dll"));
    ASSERT_TRUE(sqlite.IsLoaded());
    EXPECT_EQ(std::string(sqlite.libversion()).substr(0, 2), "3.");

    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite.open16(L":memory:", &db), platform::SqliteLibrary::kOk);
    ASSERT_EQ(sqlite.exec(db, "CREATE TABLE addon(id INTEGER, name TEXT);", nullptr, nullptr, nullptr),
              platform::SqliteLibrary::kOk);

    sqlite3_stmt* insert = nullptr;
    ASSERT_EQ(sqlite.prepare16_v2(db, L"INSERT INTO addon VALUES(?, ?)", -1, &insert, nullptr), 0);
    const std::wstring name = L"Werkzeugleiste \u00fc\u4e2d";
    sqlite.bind_int(insert, 1, 42);
    sqlite.bind_text16(insert, 2, name.c_str(), static_cast<int>(name.size() * 2), nullptr);
    EXPECT_EQ(sqlite.step(insert), platform::SqliteLibrary::kDone);
    sqlite.finalize(insert);
    EXPECT_EQ(sqlite.changes(db), 1);

    sqlite3_stmt* query = nullptr;
    ASSERT_EQ(sqlite.prepare_v2(db, "SELECT id, name FROM addon", -1, &query, nullptr), 0);
    ASSERT_EQ(sqlite.step(query), platform::SqliteLibrary::kRow);
    EXPECT_EQ(sqlite.column_count(query), 2);
    EXPECT_EQ(sqlite.column_int(query, 0), 42);
    EXPECT_EQ(sqlite.ColumnText(query, 1), name);
    EXPECT_EQ(sqlite.step(query), platform::SqliteLibrary::kDone);
    sqlite.finalize(query);

    EXPECT_NE(sqlite.exec(db, "SELECT * FROM missing", nullptr, nullptr, nullptr), platform::SqliteLibrary::kOk);
    EXPECT_NE(std::string(sqlite.errmsg(db)).find("missing"), std::string::npos);
    EXPECT_EQ(sqlite.close(db), platform::SqliteLibrary::kOk);
}

TEST(SqliteLibrary, AMissingOrForeignLibraryLeavesNothingBound) {
    test::ScratchFolder folder;
    platform::SqliteLibrary sqlite;
    EXPECT_FALSE(sqlite.Load(folder.PathOf(L"sqlite3.dll")));
    // A real library without SQLite's entry points.
    ASSERT_TRUE(::CopyFileW((BinFolder() + L"usage_report_double\\UsageReport.dll").c_str(),
                            folder.PathOf(L"sqlite3.dll").c_str(), FALSE));
    EXPECT_FALSE(sqlite.Load(folder.PathOf(L"sqlite3.dll")));
    EXPECT_FALSE(sqlite.IsLoaded());
    EXPECT_EQ(sqlite.open16, nullptr);
    EXPECT_EQ(sqlite.step, nullptr);
}
