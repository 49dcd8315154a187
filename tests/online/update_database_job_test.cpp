#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "archive_writer/archive_writer.h"
#include "online/score_db_helper.h"
#include "online/update_database_job.h"
#include "platform/files.h"
#include "support/scratch_folder.h"

namespace tarvo::online {
namespace {

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour = 0) {
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    return t;
}

TEST(UpdateDatabaseJob, DueAfterSixWholeDaysEitherWay) {
    const SYSTEMTIME now = Time(2013, 3, 8, 12);
    EXPECT_EQ(UpdateDue(L"", now), true);
    EXPECT_EQ(UpdateDue(L"03/01/2013 13:00:00", now), false);  // 6 days 23 hours
    EXPECT_EQ(UpdateDue(L"03/01/2013 12:00:00", now), true);   // 7 days
    EXPECT_EQ(UpdateDue(L"03/15/2013 12:00:00", now), true);   // 7 days ahead
    EXPECT_EQ(UpdateDue(L"3/2/2013", now), false);  // time left out: midnight
    EXPECT_EQ(UpdateDue(L"13/01/2013 12:00:00", now), std::nullopt);
    EXPECT_EQ(UpdateDue(L"yesterday", now), std::nullopt);
    EXPECT_EQ(FormatUpdateDate(Time(2013, 3, 8, 9)), L"03/08/2013 09:00:00");
}

std::wstring Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::wstring(value, value + std::strlen(value)) : std::wstring();
}

std::string Database(const std::string& text) {
    return *tools::BuildArchive({{"ScoreBase.dbd", text, archive::EntryMode::CompressedEncrypted}}, {});
}

// Against the web server the wrapper started: each case serves its file, runs the job on a
// folder holding the old database, and checks what answers look-ups afterwards.
TEST(UpdateDatabaseJob, DownloadReplacesOnlyWithADatabaseThatOpens) {
    const std::wstring port = Env("TARVO_TEST_HTTP_PORT");
    const std::wstring www = Env("TARVO_TEST_HTTP_ROOT");
    if (port.empty()) {
        GTEST_SKIP() << "run through with_http_server.sh";
    }
    const std::wstring server = L"http://127.0.0.1:" + port;
    const struct {
        const char* name;
        std::string served;  // empty: nothing there (404)
        const wchar_t* path;
        const wchar_t* stored;  // UpdateDataBaseDate before
        UpdateOutcome outcome;
        int score;  // of "addon" afterwards
    } cases[] = {
        {"success", Database("addon,9"), L"/good.dbd", L"", UpdateOutcome::Replaced, 9},
        {"not due", Database("addon,9"), L"/good.dbd", L"03/05/2013 10:00:00", UpdateOutcome::NotDue, 1},
        {"404", "", L"/missing.dbd", L"01/01/2013 10:00:00", UpdateOutcome::DownloadFailed, 1},
        {"truncated", Database(std::string(4000, 'x') + ",addon,9"), L"/truncated/big.dbd", L"", UpdateOutcome::DownloadFailed, 1},
        {"corrupt", "not an archive at all, but long enough to have a trailer", L"/bad.dbd", L"", UpdateOutcome::Rejected, 1},
        {"error page inside", Database("<html>Oops</html>"), L"/page.dbd", L"", UpdateOutcome::Rejected, 1},
        {"score not a number", Database("addon,9,other,high"), L"/words.dbd", L"", UpdateOutcome::Rejected, 1},
        {"cut at a NUL", Database(std::string("addon,9,oth\0er,1", 17)), L"/cut.dbd", L"", UpdateOutcome::Rejected, 1},
    };
    for (const auto& c : cases) {
        ::tarvo::test::ScratchFolder scratch;
        const std::wstring folder = scratch.path() + L"\\";
        (void)scratch.MakeFile(L"ScoreBase.dbd", Database("addon,1"));
        if (!c.served.empty()) {
            std::wstring name = c.path;
            name = name.substr(name.find_last_of(L'/') + 1);
            ASSERT_TRUE(platform::WriteFileBytes(www + L"\\" + name, c.served));
        }
        settings::TMainIni ini(scratch.PathOf(L"Main.ini"));
        if (*c.stored) {
            ASSERT_TRUE(ini.SetUpdateDataBaseDate(c.stored));
        }
        int done = 0;
        TDownLoadUpdateDataBase job({ini, folder, server + c.path, {}, Time(2013, 3, 8, 12)}, [&] { ++done; });
        EXPECT_EQ(job.Execute(), c.outcome) << c.name;
        EXPECT_EQ(done, c.outcome == UpdateOutcome::NotDue ? 0 : 1) << c.name;
        EXPECT_EQ(ini.UpdateDataBaseDate(), *c.stored && c.outcome == UpdateOutcome::NotDue ? c.stored : L"03/08/2013 12:00:00")
            << c.name;
        EXPECT_FALSE(platform::FileExists(folder + L"ScoreBasetemp.dbd")) << c.name;
        TScoreDBHelper helper(folder);
        ASSERT_TRUE(helper.Load()) << c.name;
        TScore score;
        helper.Lookup(L"ADDON", score);
        EXPECT_EQ(score.Score, c.score) << c.name;
    }
}

}  // namespace
}  // namespace tarvo::online
