#include "inventory/app_rate_helper.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/date_time.h"
#include "common/text.h"
#include "platform/folders.h"
#include "platform/shell.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

namespace tarvo::inventory {

using common::DateFromParts;
using common::UpperCase;
namespace {

using platform::RegistryView;

TDateTime D(int year, int month, int day) { return *DateFromParts(year, month, day); }

// A UserAssist value as Explorer writes it: 72 bytes, run count at 4, the last start at 60.
std::vector<BYTE> UserAssistData(const SYSTEMTIME& localTime, std::size_t size = 72) {
    FILETIME local{}, utc{};
    EXPECT_TRUE(::SystemTimeToFileTime(&localTime, &local));
    EXPECT_TRUE(::LocalFileTimeToFileTime(&local, &utc));
    std::vector<BYTE> data(72, 0);
    data[4] = 7;
    std::memcpy(data.data() + 60, &utc, sizeof utc);
    data.resize(size);
    return data;
}

SYSTEMTIME Local(WORD year, WORD month, WORD day, WORD hour = 10, WORD minute = 30, WORD second = 40) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

TEST(UserAssistDecoding, Rot13RotatesLettersOnly) {
    EXPECT_EQ(Rot13(L"P:\\Cebtenz Svyrf\\Ncc\\ncc.rkr"), L"C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(Rot13(L"{1234-ABCD} _09\u00e9"), L"{1234-NOPQ} _09\u00e9");
    EXPECT_EQ(Rot13(Rot13(L"Round Trip")), L"Round Trip");
}

TEST(UserAssistDecoding, LastStartNeedsTheWholeField) {
    const auto data = UserAssistData(Local(2014, 5, 12, 14, 3, 10));
    // Exactly the end of the field is enough; one byte short, empty or missing data is not.
    const std::size_t sizes[] = {68, 72};
    for (const std::size_t size : sizes) {
        const auto start = UserAssistLastStart(data.data(), size);
        ASSERT_TRUE(start.has_value()) << size;
        EXPECT_DOUBLE_EQ(*start, D(2014, 5, 12) + (14 * 3600 + 3 * 60 + 10) / 86400.0);
    }
    EXPECT_FALSE(UserAssistLastStart(data.data(), 67).has_value());
    EXPECT_FALSE(UserAssistLastStart(data.data(), 0).has_value());
    EXPECT_FALSE(UserAssistLastStart(nullptr, 72).has_value());
    // DOS times have two-second steps.
    const auto odd = UserAssistData(Local(2014, 5, 12, 14, 3, 11));
    EXPECT_DOUBLE_EQ(*UserAssistLastStart(odd.data(), odd.size()), D(2014, 5, 12) + (14 * 3600 + 3 * 60 + 10) / 86400.0);
    // Before 1980 DOS has no date for it.
    const auto early = UserAssistData(Local(1979, 6, 1));
    EXPECT_FALSE(UserAssistLastStart(early.data(), early.size()).has_value());
}

class UserAssistLoad : public ::testing::Test {
protected:
    test::ScratchKey key_{HKEY_CURRENT_USER, L"Software", RegistryView::Default};
    test::ScratchFolder folder_;

    void Put(int source, const std::wstring& plainName, const std::vector<BYTE>& data) {
        key_.SetRaw(std::wstring(kUserAssistSources[source]) + L"\\Count", Rot13(plainName), REG_BINARY, data.data(),
                    static_cast<DWORD>(data.size()));
    }
    TAppRateHelper Helper(TDateTime today) {
        TAppRateHelper::Options options;
        options.root = HKEY_CURRENT_USER;
        options.userAssistPath = key_.path();
        options.today = [today] { return today; };
        return TAppRateHelper(options);
    }
};

TEST_F(UserAssistLoad, FoldersKnownFoldersAndShortcutsFromBothSources) {
    const platform::ComApartment com;
    const std::wstring tool = folder_.MakeFile(L"Tools\\tool.exe");
    const std::wstring link = folder_.PathOf(L"tool.lnk");
    ASSERT_TRUE(platform::CreateShellLink(link, tool));

    Put(0, L"C:\\Program Files\\App\\app.exe", UserAssistData(Local(2014, 6, 1)));
    Put(0, L"C:\\Program Files\\App\\helper.exe", UserAssistData(Local(2014, 6, 10)));
    // FOLDERID_Windows in front of the rest of the path.
    Put(1, L"{F38BF404-1D43-42F2-9305-67DE0B28FC23}\\Viewer\\view.exe", UserAssistData(Local(2014, 6, 2)));
    Put(1, link, UserAssistData(Local(2014, 6, 3)));
    // Skipped: an identifier no system knows, a name without a folder, too short, no data,
    // a time before 1980.
    Put(1, L"{00000000-0000-0000-0000-0000000000AB}\\Gone\\gone.exe", UserAssistData(Local(2014, 6, 3)));
    Put(1, L"UEME_CTLSESSION", UserAssistData(Local(2014, 6, 3)));
    Put(0, L"C:\\Short\\short.exe", UserAssistData(Local(2014, 6, 3), 67));
    Put(0, L"C:\\Empty\\empty.exe", {});
    Put(0, L"C:\\Old\\old.exe", UserAssistData(Local(1975, 1, 1)));

    TAppRateHelper helper = Helper(D(2014, 6, 12));
    helper.LoadUsageData();

    std::vector<std::wstring> paths;
    for (const auto& record : helper.Records()) paths.push_back(UpperCase(record.path));
    const std::wstring windows = UpperCase(platform::GetWindowsFolder());
    const std::wstring tools = UpperCase(folder_.PathOf(L"Tools\\"));
    std::vector<std::wstring> expected{L"C:\\PROGRAM FILES\\APP\\", windows + L"\\VIEWER\\", tools};
    std::sort(paths.begin(), paths.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths, expected);

    // The folder keeps its latest start: helper.exe on the 10th.
    const TUsageLookup use = helper.Lookup(L"C:\\Program Files\\App", 0);
    EXPECT_TRUE(use.found);
    EXPECT_EQ(use.range, aud3Day);
    EXPECT_EQ(use.rate, aurOften);
    EXPECT_DOUBLE_EQ(use.lastUse, D(2014, 6, 10) + (10 * 3600 + 30 * 60 + 40) / 86400.0);

    // Reading again adds nothing new.
    helper.LoadUsageData();
    EXPECT_EQ(helper.Records().size(), 3u);
}

TEST_F(UserAssistLoad, MissingKeysGiveNoRecords) {
    TAppRateHelper helper = Helper(D(2014, 6, 12));
    helper.LoadUsageData();
    EXPECT_TRUE(helper.Records().empty());
    const TUsageLookup use = helper.Lookup(L"C:\\App", 0);
    EXPECT_TRUE(use.found);
    EXPECT_EQ(use.range, audUnknown);
    EXPECT_EQ(use.lastUse, 0);
}

TEST(UsageLookup, FirstRecordInListOrderUnderTheLocation) {
    TAppRateHelper::Options options;
    options.today = [] { return D(2014, 6, 12); };
    TAppRateHelper helper(options);
    helper.AddStart(L"C:\\App\\bin\\tool.exe", D(2014, 6, 11));
    helper.AddStart(L"C:\\App\\app.exe", D(2014, 1, 1));
    helper.AddStart(L"C:\\Apple\\apple.exe", D(2014, 6, 12));
    helper.AddStart(L"\\\\server\\x.exe", D(2014, 6, 12));
    helper.AddStart(L"c:\\app\\app.exe", D(2014, 6, 12));  // another record: paths are kept as seen

    // Both C:\App\bin\ and C:\App\ lie under C:\App; the one seen first decides.
    EXPECT_EQ(helper.Lookup(L"c:\\APP", 0).range, aud3Day);
    EXPECT_EQ(helper.Lookup(L"C:\\App\\", 0).range, aud3Day);
    EXPECT_EQ(helper.Lookup(L"C:\\Apple", 0).range, audToday);
    EXPECT_EQ(helper.Lookup(L"C:\\Ap", 0).range, audUnknown);  // C:\Ap\ is no prefix of C:\App\ .
    EXPECT_EQ(helper.Lookup(L"D:\\App", 0).lastUse, 0);
    // An entry without location matches only paths that begin with a backslash.
    EXPECT_EQ(helper.Lookup(L"", 0).range, audToday);
    EXPECT_EQ(helper.Records().size(), 5u);

    // The matched record keeps the last classification.
    helper.Lookup(L"C:\\App\\bin", D(2014, 5, 1));
    EXPECT_EQ(helper.Records()[0].installDate, D(2014, 5, 1));
    EXPECT_EQ(helper.Records()[0].rate, aurOften);
}

}  // namespace
}  // namespace tarvo::inventory
