#include "settings/app_frame.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include "platform/files.h"
#include "platform/folders.h"

using namespace tarvo::settings;
namespace platform = tarvo::platform;

TEST(Folders, IndexesOutsideTheTablesLeaveTheOutputUnchanged) {
    const TAppFrame frame;
    for (const int index : {-1, 14, 36, 100}) {
        std::wstring path = L"untouched";
        frame.FolderPath(index, path);
        EXPECT_EQ(path, L"untouched") << index;
    }
    for (const int index : {-1, 13, 35}) {
        std::wstring path = L"untouched";
        frame.CommonFolderPath(index, path);
        EXPECT_EQ(path, L"untouched") << index;
    }
}

TEST(Folders, IndexesMapToTheSystemFolders) {
    const TAppFrame frame;
    EXPECT_EQ(frame.FolderPath(0), platform::GetWindowsFolder());
    EXPECT_EQ(frame.FolderPath(1), platform::GetSystemFolder());
    const auto temp = frame.FolderPath(2);
    ASSERT_FALSE(temp.empty());
    EXPECT_NE(temp.back(), L'\\');
    const struct {
        int index, csidl;
    } folders[] = {{7, CSIDL_DESKTOPDIRECTORY}, {12, CSIDL_APPDATA},        {13, CSIDL_LOCAL_APPDATA},
                   {15, CSIDL_PROGRAM_FILES},    {16, CSIDL_PROGRAM_FILES_COMMON}, {18, CSIDL_COMMON_APPDATA},
                   {19, CSIDL_LOCAL_APPDATA},    {29, CSIDL_PROGRAM_FILESX86}, {35, CSIDL_PERSONAL}};
    for (const auto& f : folders) {
        EXPECT_EQ(frame.FolderPath(f.index), platform::GetSpecialFolderPath(f.csidl)) << f.index;
        EXPECT_FALSE(frame.FolderPath(f.index).empty()) << f.index;
    }
    EXPECT_EQ(frame.CommonFolderPath(0), platform::GetSpecialFolderPath(CSIDL_COMMON_APPDATA));
    // Both 3 and 5 are the all-users start menu.
    EXPECT_EQ(frame.CommonFolderPath(3), frame.CommonFolderPath(5));
    EXPECT_EQ(frame.CommonFolderPath(1), platform::GetSpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY));
}

TEST(Folders, ProfilesRootIsTheFirstFolderOfTheApplicationDataPath) {
    const struct {
        const wchar_t* appData;
        const wchar_t* root;
    } cases[] = {
        {L"C:\\Users\\bob\\AppData\\Roaming", L"C:\\Users"},
        {L"C:\\Documents and Settings\\bob\\Application Data", L"C:\\Documents and Settings"},
        {L"D:\\Profiles", L"D:\\Profiles"},
        {L"C:\\", L"C:\\"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(ProfilesRootOf(c.appData), c.root) << c.appData;
    const TAppFrame frame;
    EXPECT_EQ(frame.ProfilesRoot(), ProfilesRootOf(frame.AppDataFolder()));
}

TEST(Folders, DataFolderIsCreatedAndTheSettingsFileLivesInIt) {
    const TAppFrame frame;
    ASSERT_FALSE(frame.AppDataFolder().empty());
    const auto folder = frame.DataFolder();
    EXPECT_EQ(folder, frame.AppDataFolder() + L"\\Tarvo\\Tarvo Uninstaller");
    EXPECT_TRUE(platform::FolderExists(folder));
    EXPECT_EQ(frame.SettingsFile(), folder + L"\\Main.ini");
    EXPECT_EQ(SettingsFile(), frame.SettingsFile());

    const auto program = frame.ProgramFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), L'\\');
    EXPECT_TRUE(platform::FileExists(program + L"settings_tests.exe"));
}
