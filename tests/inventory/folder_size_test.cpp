#include "inventory/folder_size.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "inventory/entry_analysis.h"
#include "platform/call_counter.h"
#include "platform/files.h"
#include "platform/special_folders.h"
#include "support/scratch_folder.h"

namespace tarvo::inventory {
namespace {

using platform::ApiCall;
using platform::CallCounter;

// Attributes as a folder listing reports them: Wine's GetFileAttributes follows a link.
DWORD ListedAttributes(const std::wstring& path) {
    WIN32_FIND_DATAW data{};
    const HANDLE find = ::FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return INVALID_FILE_ATTRIBUTES;
    ::FindClose(find);
    return data.dwFileAttributes;
}

// Wine 8 cannot store reparse points, but it lists a Unix symbolic link to a folder as a
// folder with FILE_ATTRIBUTE_REPARSE_POINT, and it can start Unix programs: such a link is
// what a walk meets there.
std::string UnixPath(const std::wstring& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path.c_str()) : nullptr;
    if (!name) return {};
    std::string result = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

bool RunUnix(const std::string& command) {
    std::wstring wide(command.begin(), command.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

bool MakeUnixLink(const std::wstring& link, const std::wstring& target) {
    const std::wstring parent = link.substr(0, link.rfind(L'\\'));
    const std::string from = UnixPath(target);
    const std::string at = UnixPath(parent);
    if (from.empty() || at.empty()) return false;
    const std::wstring leaf = link.substr(parent.size() + 1);
    if (!RunUnix("/bin/ln -s \"" + from + "\" \"" + at + "/" + std::string(leaf.begin(), leaf.end()) + "\""))
        return false;
    // Wine's handle to a Unix process may signal before the program has run.
    for (int i = 0; i < 200; ++i) {
        if (platform::IsReparsePoint(ListedAttributes(link))) return true;
        ::Sleep(10);
    }
    return false;
}

// Whichever kind MakeJunction made; the scratch folder's own clean-up would follow a Unix link.
void RemoveJunction(const std::wstring& link) {
    if (::RemoveDirectoryW(link.c_str())) return;
    const std::string path = UnixPath(link);
    if (path.empty() || !RunUnix("/bin/rm -f \"" + path + "\"")) return;
    for (int i = 0; i < 200 && ListedAttributes(link) != INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(10);
}

// An NTFS junction (mount-point reparse point) from a new folder to `target`; where the
// system cannot store one, the link Wine presents as one.
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
    if (!::CreateDirectoryW(link.c_str(), nullptr)) return false;
    const std::wstring substitute = L"\\??\\" + target;
    const std::wstring& print = target;
    const auto subBytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    const auto printBytes = static_cast<WORD>(print.size() * sizeof(wchar_t));
    // Tag, data length, reserved, then four offsets/lengths and both names with their zeros.
    const WORD dataLength = static_cast<WORD>(8 + subBytes + 2 + printBytes + 2);
    std::vector<BYTE> buffer(8 + dataLength, 0);
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    const WORD header[6] = {dataLength, 0, 0, subBytes, static_cast<WORD>(subBytes + 2), printBytes};
    std::memcpy(buffer.data(), &tag, 4);
    std::memcpy(buffer.data() + 4, header, sizeof header);
    std::memcpy(buffer.data() + 16, substitute.c_str(), subBytes);
    std::memcpy(buffer.data() + 16 + subBytes + 2, print.c_str(), printBytes);
    const HANDLE handle = ::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        DWORD returned = 0;
        const BOOL ok = ::DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                          static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
        ::CloseHandle(handle);
        if (ok && platform::IsReparsePoint(ListedAttributes(link))) return true;
    }
    ::RemoveDirectoryW(link.c_str());
    return MakeUnixLink(link, target);
}

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
    if (!MakeJunction(app + L"\\loop", app) || !MakeJunction(app + L"\\out", scratch.PathOf(L"Elsewhere")))
        GTEST_SKIP() << "this system cannot create junctions";
    CallCounter::Reset();
    const std::int64_t size = FolderSize(app);
    const auto searches = CallCounter::Get(ApiCall::FindFirstFile);
    RemoveJunction(app + L"\\loop");
    RemoveJunction(app + L"\\out");
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
