#include "inventory/folder_size.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "inventory/entry_analysis.h"
#include "common/text.h"
#include "platform/call_counter.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "support/folder_link.h"
#include "support/scratch_folder.h"

namespace tarvo::inventory {

using common::EqualsIgnoreCase;
namespace {

using platform::ApiCall;
using platform::CallCounter;
using test::MakeFolderLink;
using test::RemoveFolderLink;

// A file of `size` bytes without writing them (the file system keeps it sparse where it can).
void MakeLargeFile(const std::wstring& path, LONGLONG size) {
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    LARGE_INTEGER distance{};
    distance.QuadPart = size;
    EXPECT_TRUE(::SetFilePointerEx(handle, distance, nullptr, FILE_BEGIN));
    EXPECT_TRUE(::SetEndOfFile(handle));
    ::CloseHandle(handle);
}

TEST(FolderSize, SumsEveryFileAtEveryDepth) {
    test::ScratchFolder scratch;
    scratch.MakeFile(L"App\\a.bin", std::string(1000, 'a'));
    scratch.MakeFile(L"App\\sub\\b.bin", std::string(200, 'b'));
    scratch.MakeFile(L"App\\sub\\deeper\\c.bin", std::string(30, 'c'), FILE_ATTRIBUTE_HIDDEN);
    scratch.MakeFolder(L"App\\empty");
    scratch.MakeFile(L"Other\\d.bin", std::string(5, 'd'));
    const std::wstring app = scratch.PathOf(L"App");
    EXPECT_EQ(FolderSize(app), 1230);
    EXPECT_EQ(FolderSize(app + L"\\"), 1230);
    EXPECT_EQ(FolderSize(scratch.PathOf(L"Missing")), 0);
}

TEST(FolderSize, StopsAtTheLimitAndOnCancel) {
    test::ScratchFolder scratch;
    for (int i = 0; i < 5; ++i) scratch.MakeFile(L"App\\f" + std::to_wstring(i) + L"\\x.bin", std::string(100, 'x'));
    const std::wstring app = scratch.PathOf(L"App");
    const std::int64_t limited = FolderSize(app, 150);
    EXPECT_GE(limited, 150);
    EXPECT_LT(limited, 500);
    std::atomic<bool> cancel{true};
    EXPECT_EQ(FolderSize(app, std::numeric_limits<std::int64_t>::max(), &cancel), 0);
}

TEST(FolderSize, NeverEntersJunctions) {
    test::ScratchFolder scratch;
    scratch.MakeFile(L"App\\a.bin", std::string(100, 'a'));
    scratch.MakeFile(L"Elsewhere\\big.bin", std::string(5000, 'e'));
    const std::wstring app = scratch.PathOf(L"App");
    // One junction back to the folder itself (a cycle), one out of it.
    if (!MakeFolderLink(app + L"\\loop", app) || !MakeFolderLink(app + L"\\out", scratch.PathOf(L"Elsewhere")))
        GTEST_SKIP() << "this system cannot create junctions";
    CallCounter::Reset();
    const std::int64_t size = FolderSize(app);
    const auto searches = CallCounter::Get(ApiCall::FindFirstFile);
    RemoveFolderLink(app + L"\\loop");
    RemoveFolderLink(app + L"\\out");
    EXPECT_EQ(size, 100);
    EXPECT_EQ(searches, 1u);
}

TEST(EntryAnalysis, ToolbarSizeIsCappedAtTenMegabytes) {
    test::ScratchFolder scratch;
    const std::wstring folder = scratch.MakeFolder(L"Toolbar");
    MakeLargeFile(folder + L"\\store.dat", 50LL * 1024 * 1024);
    TSoftInfo entry;
    entry.DisplayName = L"Some Toolbar";
    entry.InstallLocation = folder + L"\\";
    entry.ImageIndex = 1;
    entry.IsToolbar = true;
    EXPECT_EQ(AnalyseEntry(entry, {}).size, kToolbarSizeCap);
    entry.IsToolbar = false;
    EXPECT_EQ(AnalyseEntry(entry, {}).size, 50LL * 1024 * 1024);
}

TEST(EntryAnalysis, ReservedFoldersAreNeverWalked) {
    const std::wstring places[] = {platform::GetWindowsFolder(), platform::GetSystemFolder(), L"C:\\", L"%TEMP%\\x"};
    for (const auto& place : places) {
        SCOPED_TRACE(testing::Message() << place.size());
        TSoftInfo entry;
        entry.DisplayName = L"Reserved";
        entry.InstallLocation = place;
        entry.ImageIndex = 1;
        CallCounter::Reset();
        EXPECT_EQ(AnalyseEntry(entry, {}).size, 0);
        EXPECT_EQ(CallCounter::Get(ApiCall::FindFirstFile), 0u);
    }
}

TEST(EntryAnalysis, APassesRefusedFolderIsNeverWalked) {
    test::ScratchFolder scratch;
    const std::wstring folder = scratch.MakeFolder(L"Desk");
    (void)scratch.MakeFile(L"Desk\\unins000.exe", std::string(100, 'x'));
    TSoftInfo entry;
    entry.DisplayName = L"On The Desktop";
    entry.UninstallString = L"\"" + folder + L"\\unins000.exe\"";
    entry.ImageIndex = 1;
    const TRefusedFolders refused(std::vector<std::wstring>{folder});
    TAnalysisContext context;
    context.refused = &refused;
    for (const bool fromLocation : {false, true}) {
        SCOPED_TRACE(fromLocation);
        entry.InstallLocation = fromLocation ? folder + L"\\" : L"";
        CallCounter::Reset();
        const TAnalysisResult result = AnalyseEntry(entry, context);
        EXPECT_EQ(result.size, 0);
        EXPECT_EQ(result.folder, fromLocation ? folder + L"\\" : L"");
        EXPECT_EQ(CallCounter::Get(ApiCall::FindFirstFile), 0u);
        EXPECT_EQ(CallCounter::RegistryTotal(), 0u);
    }
    // The same entry without the injected set is measured.
    entry.InstallLocation.clear();
    EXPECT_EQ(AnalyseEntry(entry, {}).size, 100);
}

TEST(EntryAnalysis, SizeFromTheReadmeFolderWhenNothingElseNamesOne) {
    test::ScratchFolder scratch;
    const std::wstring readme = scratch.MakeFile(L"Msi App\\readme.txt", std::string(321, 'r'));
    TSoftInfo entry;
    entry.DisplayName = L"Msi App";
    entry.UninstallString = L"MsiExec.exe /X{12345678-90AB-CDEF-1234-567890ABCDEF}";
    entry.Readme = L"\"" + readme + L"\"";
    entry.ImageIndex = 1;
    const TAnalysisResult result = AnalyseEntry(entry, {});
    EXPECT_EQ(result.size, 321);
    EXPECT_EQ(result.folder, scratch.PathOf(L"Msi App\\"));
}

// Every name the real file system gives for the mask `prefix*suffix`, in listing order.
std::vector<std::wstring> NamesFindFirstFileGives(const std::wstring& folder, const std::wstring& mask) {
    std::vector<std::wstring> names;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    for (bool more = finder.FindFirst(folder + mask, data); more; more = finder.FindNext(data))
        if (!platform::IsDotName(data.cFileName)) names.emplace_back(data.cFileName);
    return names;
}

TEST(FolderListing, MatchesMasksAsTheFileSystemDoes) {
    test::ScratchFolder scratch;
    for (const wchar_t* name : {L"ABtool.exe", L"abTOOL2.EXE", L"AB.exe", L"ABx.exe.bak", L"Xab.exe", L"AB.EX",
                                L"AB.EXEE", L"Abc.exe"})
        (void)scratch.MakeFile(std::wstring(L"App\\") + name, "MZ");
    (void)scratch.MakeFolder(L"App\\ABdir.exe");
    (void)scratch.MakeFile(L"App\\sub\\ABdeep.exe", "MZ");
    const std::wstring app = scratch.PathOf(L"App\\");

    TFolderListing listing;
    (void)FolderSize(app, std::numeric_limits<std::int64_t>::max(), nullptr, &listing);
    ASSERT_TRUE(listing.complete);
    EXPECT_TRUE(listing.Lists(scratch.PathOf(L"app")));
    EXPECT_FALSE(listing.Lists(scratch.PathOf(L"App\\sub")));
    EXPECT_EQ(listing.names.size(), 10u);  // the eight files, the folder named like a program, sub

    for (const wchar_t* prefix : {L"AB", L"ab", L"ABtoo", L"", L"AB.EX", L"Abc", L"Q"}) {
        SCOPED_TRACE(testing::Message() << "prefix " << std::string(prefix, prefix + std::wcslen(prefix)));
        // The file system also answers "AB.EXEE" through its 8.3 form "AB~1.EXE"; the
        // listing answers for long names only, and otherwise exactly as the file system.
        auto real = NamesFindFirstFileGives(app, std::wstring(prefix) + L"*.EXE");
        real.erase(std::remove(real.begin(), real.end(), L"AB.EXEE"), real.end());
        std::vector<std::wstring> inMemory;
        for (const auto& name : listing.names)
            if (MatchesPrefixStarSuffix(name, prefix, L".EXE")) inMemory.push_back(name);
        EXPECT_EQ(inMemory, real);
        const auto first = FirstMatch(listing, prefix, L".EXE");
        EXPECT_EQ(first.value_or(L"(none)"), real.empty() ? L"(none)" : real.front());
    }
    EXPECT_TRUE(HasWildcards(L"A?B"));
    EXPECT_TRUE(HasWildcards(L"A*"));
    EXPECT_FALSE(HasWildcards(L"Foo & Bar"));
}

TEST(FolderListing, AWalkStoppedBeforeTheFolderWasListedAnswersNothing) {
    test::ScratchFolder scratch;
    (void)scratch.MakeFile(L"App\\ABtool.exe", "MZ");
    TFolderListing listing;
    std::atomic<bool> cancel{true};
    (void)FolderSize(scratch.PathOf(L"App"), std::numeric_limits<std::int64_t>::max(), &cancel, &listing);
    EXPECT_FALSE(listing.Lists(scratch.PathOf(L"App")));
    (void)FolderSize(scratch.PathOf(L"Missing"), std::numeric_limits<std::int64_t>::max(), nullptr, &listing);
    EXPECT_FALSE(listing.Lists(scratch.PathOf(L"Missing")));
}

TEST(EntryAnalysis, TheIconSearchReadsTheSizeWalksListing) {
    test::ScratchFolder scratch;
    (void)scratch.MakeFile(L"App\\data\\x.bin", std::string(10, 'x'));
    (void)scratch.MakeFile(L"App\\data\\xtool.exe", "MZ");
    (void)scratch.MakeFile(L"App\\ABtool.exe", "MZ");
    const std::wstring uninstaller = scratch.MakeFile(L"App\\unins000.exe", "MZ");
    (void)scratch.MakeFile(L"Elsewhere\\y.bin", std::string(7, 'y'));
    TSoftInfo entry;
    entry.DisplayName = L"A B Tool";
    entry.UninstallString = L"\"" + uninstaller + L"\" /S";

    // Size and icon in the same folder: the walk's two listings and nothing more; folder,
    // icon and date ask about each path once.
    CallCounter::Reset();
    TAnalysisResult result = AnalyseEntry(entry, {});
    EXPECT_EQ(result.size, 16);
    EXPECT_TRUE(EqualsIgnoreCase(result.iconFile, scratch.PathOf(L"App\\ABtool.exe")));
    EXPECT_NE(result.installDate, 0);
    EXPECT_EQ(CallCounter::Get(ApiCall::FindFirstFile), 2u);
    // The uninstaller, its folder, the icon file: never the command with its arguments.
    EXPECT_EQ(CallCounter::Get(ApiCall::GetFileAttributes), 3u);

    // The size from another folder: the icon search must still look into the program's.
    entry.InstallLocation = scratch.PathOf(L"Elsewhere\\");
    CallCounter::Reset();
    result = AnalyseEntry(entry, {});
    EXPECT_EQ(result.size, 7);
    EXPECT_TRUE(EqualsIgnoreCase(result.iconFile, scratch.PathOf(L"App\\ABtool.exe")));
    EXPECT_EQ(CallCounter::Get(ApiCall::FindFirstFile), 2u);

    // A file that only the 8.3 form makes an ".EXE" is not taken, with or without the listing.
    (void)scratch.MakeFile(L"App\\ABtool.exeold", "MZ");
    (void)platform::DeleteFileOf(scratch.PathOf(L"App\\ABtool.exe"));
    entry.DisplayName = L"A B";  // "AB*.EXE", which the 8.3 form "AB~xxxx.EXE" answers
    entry.InstallLocation.clear();
    result = AnalyseEntry(entry, {});
    EXPECT_TRUE(EqualsIgnoreCase(result.iconFile, uninstaller));
    int index = 0;
    EXPECT_TRUE(EqualsIgnoreCase(IconSourceFromEntry(entry, index), uninstaller));

    // A name that would send the mask into a subfolder finds nothing there (its file would
    // be looked for in the program's folder and not exist): the uninstaller's icon.
    entry.DisplayName = L"data\\xtool";
    result = AnalyseEntry(entry, {});
    EXPECT_TRUE(EqualsIgnoreCase(result.iconFile, uninstaller));
}

}  // namespace
}  // namespace tarvo::inventory
