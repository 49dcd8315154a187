// The add-on cleaners' file and system helpers against real files, processes and keys.
#include <gtest/gtest.h>

#include <algorithm>

#include "addons/backup_file.h"
#include "addons/browser_process.h"
#include "addons/file_info.h"
#include "addons/folder_walk.h"
#include "addons/mozilla_plugins.h"
#include "addons/opera_version.h"
#include "addons_fixture_path.h"
#include "support/folder_link.h"
#include "platform/files.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

namespace tarvo::addons {
namespace {

using platform::RegistryView;

TEST(LeadingNumber, ReadsTheDigitsBeforeTheFirstDot) {
    const struct {
        const wchar_t* text;
        std::int32_t expected;
    } cases[] = {{L"12.0.742", 12}, {L"12", 0}, {L"", 0}, {L".5", -1}, {L"x.1", -1}, {L"99999999999.1", -1}};
    for (const auto& c : cases) EXPECT_EQ(LeadingNumber(c.text), c.expected) << c.text;
}

TEST(FileInfo, TakesTheFirstTranslationAndChoosesTheVersion) {
    const std::wstring file = test::AddonFixture(L"VersionFixture.dll");
    std::vector<std::wstring> texts;
    ASSERT_TRUE(FileVersionStrings(file, texts));
    ASSERT_EQ(texts.size(), 11u);
    EXPECT_EQ(texts[1], L"Tarvo Testhaus GmbH");  // German block, trimmed
    EXPECT_EQ(texts[3], L"2.1.0.7");
    EXPECT_EQ(texts[10], L"wow-de");

    EXPECT_EQ(FileInfo(file, false).FileVersion, L"2.1.0.7");
    const TMozilPlugFileInfo preferred = FileInfo(file, true);
    EXPECT_EQ(preferred.FileVersion, L"2.1");
    EXPECT_EQ(preferred.ProductName, L"Tarvo Fixture");
    EXPECT_EQ(preferred.Signer, L"");

    TFileInfo info;
    ASSERT_TRUE(ReadVersionInfo(file, L"", info));
    EXPECT_EQ(info.Fixed.dwFileVersionMS, 0x00020001u);
    EXPECT_EQ(info.Fixed.dwFileVersionLS, 0x00000007u);
}

TEST(FileInfo, FilesWithoutAResourceOrMissing) {
    test::ScratchFolder scratch;
    const std::wstring plain = scratch.MakeFile(L"plain.dll", "not a program");
    std::vector<std::wstring> texts{L"kept"};
    EXPECT_FALSE(FileVersionStrings(plain, texts));
    std::vector<std::wstring> expected(12, L"Unknown");
    expected[0] = L"kept";
    EXPECT_EQ(texts, expected);

    const TMozilPlugFileInfo none = FileInfo(plain, true);
    EXPECT_EQ(none.ProductName + none.FileVersion + none.CompanyName + none.Signer, L"");
    const std::wstring missing = scratch.PathOf(L"missing.dll");
    EXPECT_EQ(FileInfo(missing, true).FilePath, missing);
}

TEST(ChooseVersion, PreferenceOnlyCountsWithAProductVersion) {
    EXPECT_EQ(ChooseVersion(L"2.1", L"", false), L"");
    EXPECT_EQ(ChooseVersion(L"Unknown", L"3.0", true), L"3.0");
    EXPECT_EQ(ChooseVersion(L"", L"unknown", true), L"");
}

TEST(SignerName, NamesTheSignerOfASignedFileOnly) {
    EXPECT_EQ(SignerName(test::AddonFixture(L"SignedFixture.dll")), L"Tarvo Test Signer");
    EXPECT_EQ(SignerName(test::AddonFixture(L"VersionFixture.dll")), L"");
    EXPECT_EQ(SignerName(test::AddonFixture(L"nowhere.dll")), L"");
}

TEST(Browsers, NamesAndRunningProcesses) {
    EXPECT_EQ(BrowserName(BrowserKind::InternetExplorer), L"IE");
    EXPECT_EQ(BrowserName(BrowserKind::Opera), L"Opera");
    EXPECT_EQ(BrowserName(BrowserKind::All), L"");
    const std::vector<platform::ProcessEntry> processes{{1, 0, L"explorer.exe"}, {2, 1, L"FireFox.EXE"}};
    EXPECT_TRUE(IsBrowserRunningIn(BrowserKind::Firefox, processes));
    EXPECT_FALSE(IsBrowserRunningIn(BrowserKind::Chrome, processes));
    EXPECT_TRUE(IsBrowserRunningIn(BrowserKind::All, {}));
    EXPECT_FALSE(IsBrowserRunning(BrowserKind::Opera));  // none runs under the test prefix
}

TEST(FolderWalk, LaterMatchWinsAndLinksAreNeverEntered) {
    test::ScratchFolder scratch;
    const std::wstring root = scratch.path() + L"\\";
    scratch.MakeFile(L"a\\x\\prefs.js");
    scratch.MakeFile(L"a\\other.txt");
    scratch.MakeFile(L"outside\\prefs.js");
    scratch.MakeFolder(L"a");
    const std::wstring link = scratch.PathOf(L"a\\zlink");
    ASSERT_TRUE(test::MakeFolderLink(link, scratch.PathOf(L"outside")));

    EXPECT_EQ(FindFileInTree(root + L"a\\", L"PREFS.JS"), root + L"a\\x\\prefs.js");
    EXPECT_EQ(FindFileInTree(root + L"a\\", L"none"), L"");
    std::vector<std::wstring> files;
    ListFilesInTree(root + L"a\\", files);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::wstring>{root + L"a\\other.txt", root + L"a\\x\\prefs.js"}));
    test::RemoveFolderLink(link);
}

TEST(MozillaPlugins, SkipsDisabledAndRepeatedPaths) {
    test::ScratchKey machine(HKEY_LOCAL_MACHINE, L"Software", RegistryView::Default);
    machine.SetString(L"@vendor/one", L"path", L"C:\\p\\one.dll");
    machine.SetString(L"@vendor/one", L"ProductName", L"One");
    machine.SetString(L"@vendor/off", L"path", L"Disabled");
    platform::RegistryKey user;
    ASSERT_EQ(user.Create(HKEY_CURRENT_USER, machine.PathOf(L"@user/one")), ERROR_SUCCESS);
    ASSERT_EQ(user.SetString(L"path", L"c:\\P\\ONE.dll"), ERROR_SUCCESS);
    platform::RegistryKey user2;
    ASSERT_EQ(user2.Create(HKEY_CURRENT_USER, machine.PathOf(L"@user/two")), ERROR_SUCCESS);
    ASSERT_EQ(user2.SetString(L"path", L"C:\\p\\two.dll"), ERROR_SUCCESS);
    user.Close();
    user2.Close();

    const auto plugins = LoadMozillaPlugins(false, machine.path());
    (void)platform::DeleteKeyTree(HKEY_CURRENT_USER, machine.path(), RegistryView::Default);
    ASSERT_EQ(plugins.size(), 2u);
    EXPECT_EQ(plugins[0].KeyName, L"@vendor/one");
    EXPECT_EQ(plugins[0].ProductName, L"One");
    EXPECT_EQ(plugins[1].KeyName, L"@user/two");
    EXPECT_EQ(FindMozillaPlugin(plugins, L"C:\\P\\TWO.DLL").KeyName, L"@user/two");
    EXPECT_EQ(FindMozillaPlugin(plugins, L"C:\\none.dll").KeyName, L"");
}

TEST(OperaMajorVersion, FirstOperaEntryOfTheMachine) {
    test::ScratchKey uninstall(HKEY_LOCAL_MACHINE, L"Software", RegistryView::Default);
    EXPECT_EQ(OperaMajorVersionUnder(uninstall.path()), -1);
    uninstall.SetString(L"Opera 12.16", L"DisplayVersion", L"12.16.1860");
    uninstall.SetString(L"Other", L"DisplayVersion", L"3.0");
    EXPECT_EQ(OperaMajorVersionUnder(uninstall.path()), 12);
}

TEST(BackupFile, CopiesIntoAnEmptiedFolder) {
    test::ScratchFolder scratch;
    const std::wstring store = scratch.path() + L"\\";
    const std::wstring source = scratch.MakeFile(L"profile\\Preferences", "{}");
    scratch.MakeFile(L"Backup\\Chrome\\stale.txt", "old");
    const std::wstring copy = BackupFile(store, L"Backup\\Chrome\\", source);
    EXPECT_EQ(copy, store + L"Backup\\Chrome\\Preferences");
    EXPECT_TRUE(platform::FileExists(copy));
    EXPECT_FALSE(platform::FileExists(store + L"Backup\\Chrome\\stale.txt"));
    EXPECT_EQ(BackupFile(store, L"Backup\\Chrome\\", scratch.PathOf(L"missing")), L"");
    EXPECT_EQ(BackupFile(L"", L"Backup\\", source), L"");
}

}  // namespace
}  // namespace tarvo::addons
