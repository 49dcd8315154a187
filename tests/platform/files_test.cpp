#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <shlobj.h>

#include "platform/folders.h"
#include "platform/version_info.h"
#include "support/scratch_folder.h"

using namespace tarvo::platform;
using tarvo::test::ScratchFolder;

namespace {

std::vector<std::wstring> Listing(const std::wstring& folder) {
    std::vector<std::wstring> names;
    FileFinder finder;
    WIN32_FIND_DATAW data;
    for (bool more = finder.FindFirst(folder + L"\\*", data); more; more = finder.FindNext(data))
        if (!IsDotName(data.cFileName)) names.emplace_back(data.cFileName);
    return names;
}

}  // namespace

TEST(FileFinding, ListsHiddenAndSystemEntriesInFileSystemOrder) {
    ScratchFolder folder;
    folder.MakeFile(L"plain.txt", "x");
    folder.MakeFile(L"hidden.dat", "x", FILE_ATTRIBUTE_HIDDEN);
    folder.MakeFile(L"system.sys", "x", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    folder.MakeFolder(L"sub");

    auto names = Listing(folder.path());
    // The order is whatever the file system gives; compare with a raw walk of our own.
    std::vector<std::wstring> raw;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder.path() + L"\\*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if (!IsDotName(data.cFileName)) raw.emplace_back(data.cFileName);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    EXPECT_EQ(names, raw);

    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"hidden.dat", L"plain.txt", L"sub", L"system.sys"}));
}

TEST(FileFinding, NoMatchIsNotAnError) {
    ScratchFolder folder;
    FileFinder finder;
    WIN32_FIND_DATAW data;
    EXPECT_FALSE(finder.FindFirst(folder.PathOf(L"*.none"), data));
    EXPECT_FALSE(finder.FindNext(data));
    EXPECT_TRUE(Listing(folder.PathOf(L"missing")).empty());
}

TEST(FileQueries, TellFilesFromFoldersAndReadSizeAndTimes) {
    ScratchFolder folder;
    const auto file = folder.MakeFile(L"data.bin", std::string(1234, 'z'));
    const auto sub = folder.MakeFolder(L"sub");

    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_TRUE(FolderExists(sub));
    EXPECT_FALSE(FileExists(sub));
    EXPECT_FALSE(FileExists(folder.PathOf(L"absent")));
    EXPECT_FALSE(FolderExists(folder.PathOf(L"absent")));
    EXPECT_EQ(GetFileAttributesOf(folder.PathOf(L"absent")), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(GetFileSizeOf(file), 1234u);
    EXPECT_EQ(GetFileSizeOf(folder.PathOf(L"absent")), std::nullopt);
    const auto times = GetFileTimesOf(file);
    ASSERT_TRUE(times);
    EXPECT_NE(times->lastWrite.dwHighDateTime, 0u);
}

TEST(FileNames, NonAsciiNamesSurviveTheRoundTrip) {
    ScratchFolder folder;
    const std::wstring names[] = {L"Müller Grüße.txt", L"日本語フォルダ", L"Ελληνικά €.dat"};
    folder.MakeFile(names[0], "x");
    folder.MakeFolder(names[1]);
    folder.MakeFile(names[2], "x");
    auto listed = Listing(folder.path());
    for (const auto& name : names)
        EXPECT_NE(std::find(listed.begin(), listed.end(), name), listed.end());
    EXPECT_TRUE(FolderExists(folder.PathOf(names[1])));
    EXPECT_TRUE(FileExists(folder.PathOf(names[0])));
}

TEST(FileNames, PathsLongerThanMaxPathWork) {
    ScratchFolder folder;
    std::wstring relative;
    for (int i = 0; i < 8; ++i) relative += (i ? L"\\" : L"") + std::wstring(40, static_cast<wchar_t>(L'a' + i));
    const auto deep = folder.MakeFolder(relative);
    ASSERT_GT(deep.size(), static_cast<size_t>(MAX_PATH));
    const auto file = folder.MakeFile(relative + L"\\leaf.txt", "long");

    EXPECT_TRUE(FolderExists(deep));
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(GetFileSizeOf(file), 4u);
    EXPECT_EQ(Listing(deep), std::vector<std::wstring>{L"leaf.txt"});
    EXPECT_TRUE(DeleteFileOf(file));
    EXPECT_FALSE(FileExists(file));
}

TEST(FileNames, ExtendedLengthFormIsUsedOnlyWhenNeeded) {
    EXPECT_EQ(ExtendedLengthPath(L"C:\\short"), L"C:\\short");
    const std::wstring longLocal = L"C:\\" + std::wstring(300, L'x');
    EXPECT_EQ(ExtendedLengthPath(longLocal), L"\\\\?\\" + longLocal);
    const std::wstring longUnc = L"\\\\server\\share\\" + std::wstring(300, L'x');
    EXPECT_EQ(ExtendedLengthPath(longUnc), L"\\\\?\\UNC\\server\\share\\" + std::wstring(300, L'x'));
    EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\" + longLocal), L"\\\\?\\" + longLocal);
}

TEST(SpecialFolders, KnownFoldersExist) {
    EXPECT_TRUE(FolderExists(GetWindowsFolder()));
    EXPECT_TRUE(FolderExists(GetSystemFolder()));
    EXPECT_TRUE(FolderExists(GetTempFolder()));
    EXPECT_TRUE(FolderExists(GetSpecialFolderPath(CSIDL_APPDATA)));
    EXPECT_TRUE(FolderExists(GetSpecialFolderPath(CSIDL_PROGRAM_FILES)));
    EXPECT_TRUE(FileExists(GetModuleFilePath()));
}

TEST(VersionInfo, ReadsStringsOfARealSystemFile) {
    const auto path = GetSystemFolder() + L"\\kernel32.dll";
    EXPECT_FALSE(GetFileVersionString(path, L"FileVersion").empty());
    EXPECT_TRUE(GetFileVersionString(path, L"NoSuchString").empty());
    EXPECT_TRUE(GetFileVersionString(GetSystemFolder() + L"\\absent.dll", L"FileVersion").empty());
}

// Wine hands over a name's length in 16 bits; a name past the Windows limit would wrap to a
// short path (here: the drive root) unless the layer refuses it first.
TEST(FileLimits, NamesPastTheWindowsLimitReachNothing) {
    const std::wstring huge = L"C:\\" + std::wstring(32768 * 2 - 3, L'x');
    EXPECT_EQ(tarvo::platform::GetFileAttributesOf(huge), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(tarvo::platform::FolderExists(huge));
    EXPECT_FALSE(tarvo::platform::GetFileTimesOf(huge));
    EXPECT_FALSE(tarvo::platform::DeleteFileOf(huge));
    EXPECT_FALSE(tarvo::platform::RemoveDirectoryOf(huge));
    WIN32_FIND_DATAW data{};
    tarvo::platform::FileFinder finder;
    EXPECT_FALSE(finder.FindFirst(huge, data));
}
