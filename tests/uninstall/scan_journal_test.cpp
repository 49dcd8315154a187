#include "uninstall/scan_journal.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/scratch_folder.h"

using namespace tarvo;

TEST(ScanJournal, KeepsWhatTheScanNeedsUntilStruckOff) {
    test::ScratchFolder folder;
    const uninstall::TScanJournal journal(folder.PathOf(L"PendingScans.ini"));
    inventory::TSoftInfo first;
    first.DisplayName = L"First [beta]";
    first.Publisher = L"Maker";
    first.RootKeyName = L"HKEY_LOCAL_MACHINE";
    first.KeyPath = L"\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\First";
    first.View64 = true;
    first.UninstallString = L"\"C:\\First\\un.exe\" /x=1";
    first.InstallLocation = L"C:\\First\r\nInjected=1";
    inventory::TSoftInfo second = first;
    second.DisplayName = L"Second";
    second.View64 = false;

    EXPECT_TRUE(journal.Pending().empty());
    ASSERT_TRUE(journal.Add(first));
    ASSERT_TRUE(journal.Add(second));
    ASSERT_TRUE(journal.Add(first));  // written again: still one record
    auto pending = journal.Pending();
    ASSERT_EQ(pending.size(), 2u);
    EXPECT_EQ(pending[0].DisplayName, L"Second");
    EXPECT_EQ(pending[1].DisplayName, first.DisplayName);
    EXPECT_EQ(pending[1].UninstallString, first.UninstallString);
    EXPECT_EQ(pending[1].KeyPath, first.KeyPath);
    EXPECT_TRUE(pending[1].View64);
    // A line break in a value cannot smuggle a line into the file.
    EXPECT_EQ(pending[1].InstallLocation, L"C:\\First  Injected=1");

    ASSERT_TRUE(journal.Remove({&second}));
    pending = journal.Pending();
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].DisplayName, first.DisplayName);
    ASSERT_TRUE(journal.Remove({&first}));
    EXPECT_TRUE(journal.Pending().empty());
    EXPECT_FALSE(platform::FileExists(folder.PathOf(L"PendingScans.ini")));
}
