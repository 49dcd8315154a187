#include "inventory/folder_size.h"

#include <gtest/gtest.h>

#include <vector>

#include "inventory/entry_analysis.h"
#include "platform/call_counter.h"
#include "platform/files.h"
#include "platform/special_folders.h"
#include "support/folder_link.h"
#include "support/scratch_folder.h"

namespace tarvo::inventory {
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

}  // namespace
}  // namespace tarvo::inventory
