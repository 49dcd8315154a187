#include "settings/main_ini.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/scratch_folder.h"

using namespace tarvo::settings;
using tarvo::test::ScratchFolder;

TEST(MainIni, MissingFileGivesEveryDefault) {
    ScratchFolder folder;
    const TMainIni ini(folder.PathOf(L"Main.ini"));
    EXPECT_EQ(ini.Language(), L"English");
    EXPECT_EQ(ini.WindowState(), 0);
    EXPECT_EQ(ini.Width(), 870);
    EXPECT_EQ(ini.Height(), 570);
    EXPECT_EQ(ini.Left(1024, 870), 77);
    EXPECT_EQ(ini.Top(768, 570), 99);
    // Truncated toward zero, also when the window is wider than the work area.
    EXPECT_EQ(ini.Left(800, 870), -35);
    EXPECT_EQ(ini.ListViewViewStyle(), 0);
    EXPECT_FALSE(ini.BatchUninstall());
    EXPECT_FALSE(ini.CreateRestore());
    EXPECT_FALSE(ini.FileShredder());
    EXPECT_EQ(ini.UpdateDataBaseDate(), L"");
    EXPECT_EQ(ini.ColumnIndex(), 0);
    EXPECT_EQ(ini.SortState(), 1);
}

TEST(MainIni, ValuesRoundTripAndBooleansAreWrittenAsOneAndZero) {
    ScratchFolder folder;
    const TMainIni ini(folder.PathOf(L"Main.ini"));
    EXPECT_TRUE(ini.SetLanguage(L"Deutsch"));
    EXPECT_TRUE(ini.SetWindowState(1));
    EXPECT_TRUE(ini.SetWidth(1000));
    EXPECT_TRUE(ini.SetHeight(700));
    EXPECT_TRUE(ini.SetLeft(-8));
    EXPECT_TRUE(ini.SetTop(12));
    EXPECT_TRUE(ini.SetListViewViewStyle(1));
    EXPECT_TRUE(ini.SetBatchUninstall(true));
    EXPECT_TRUE(ini.SetCreateRestore(true));
    EXPECT_TRUE(ini.SetFileShredder(false));
    EXPECT_TRUE(ini.SetUpdateDataBaseDate(L"03/14/2013 09:26:53"));
    EXPECT_TRUE(ini.SetColumnIndex(3));
    EXPECT_TRUE(ini.SetSortState(2));

    // A second object sees it all: every write went to the file at once.
    const TMainIni again(ini.Path());
    EXPECT_EQ(again.Language(), L"Deutsch");
    EXPECT_EQ(again.WindowState(), 1);
    EXPECT_EQ(again.Width(), 1000);
    EXPECT_EQ(again.Height(), 700);
    EXPECT_EQ(again.Left(1024, 1000), -8);
    EXPECT_EQ(again.Top(768, 700), 12);
    EXPECT_EQ(again.ListViewViewStyle(), 1);
    EXPECT_TRUE(again.BatchUninstall());
    EXPECT_TRUE(again.CreateRestore());
    EXPECT_FALSE(again.FileShredder());
    EXPECT_EQ(again.UpdateDataBaseDate(), L"03/14/2013 09:26:53");
    EXPECT_EQ(again.ColumnIndex(), 3);
    EXPECT_EQ(again.SortState(), 2);

    EXPECT_EQ(again.ReadString(L"Main", L"Batch Uninstall", L""), L"1");
    EXPECT_EQ(again.ReadString(L"Main", L"File Shredder", L""), L"0");
    EXPECT_EQ(again.ReadString(L"Software", L"SortState", L""), L"2");
}

TEST(MainIni, HandWrittenValuesFollowTheReadingRules) {
    ScratchFolder folder;
    const auto path = folder.MakeFile(L"Main.ini",
                                      "[Main]\r\n"
                                      "Batch Uninstall=yes\r\n"
                                      "CreateRestore=-3\r\n"
                                      "File Shredder= 0 \r\n"
                                      "Width=wide\r\n"
                                      "Height=\r\n"
                                      "WindowState=99999999999\r\n"
                                      "[Software]\r\n"
                                      "SortState=7\r\n"
                                      "ColumnIndex=2x\r\n");
    const TMainIni ini(path);
    const struct {
        const wchar_t* key;
        bool fallback, expected;
    } booleans[] = {
        {L"Batch Uninstall", false, false},  // not a number: the default
        {L"Batch Uninstall", true, true},
        {L"CreateRestore", false, true},     // any integer but 0 is true
        {L"File Shredder", true, false},
    };
    for (const auto& b : booleans) EXPECT_EQ(ini.ReadBool(L"Main", b.key, b.fallback), b.expected) << b.key;
    EXPECT_FALSE(ini.BatchUninstall());
    EXPECT_EQ(ini.Width(), 870);
    EXPECT_EQ(ini.Height(), 570);
    EXPECT_EQ(ini.WindowState(), 0);  // out of range counts as not a number
    EXPECT_EQ(ini.SortState(), std::nullopt);
    EXPECT_EQ(ini.ColumnIndex(), 0);
}

TEST(MainIni, WritingIntoAMissingFolderFailsQuietly) {
    ScratchFolder folder;
    const TMainIni ini(folder.PathOf(L"missing\\Main.ini"));
    EXPECT_FALSE(ini.SetWidth(5));
    EXPECT_EQ(ini.Width(), 870);
    const TMainIni nowhere(std::wstring{});
    EXPECT_FALSE(nowhere.SetWidth(5));
    EXPECT_EQ(nowhere.Language(), L"English");
}
