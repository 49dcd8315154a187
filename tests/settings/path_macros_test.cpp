#include "settings/path_macros.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/folders.h"
#include "settings/app_frame.h"

using namespace tarvo::settings;

namespace {

// Folders with names that say where they came from, so every replacement is visible.
class FakeFolders final : public PathMacroFolders {
public:
    std::wstring Folder(int index) const override {
        asked.push_back(L"F" + std::to_wstring(index));
        switch (index) {
        case 0: return windows;
        case 1: return system;
        case 12: return appData;
        default: return L"<F" + std::to_wstring(index) + L">";
        }
    }
    std::wstring CommonFolder(int index) const override {
        asked.push_back(L"C" + std::to_wstring(index));
        return emptyCommon ? L"" : L"<C" + std::to_wstring(index) + L">";
    }
    std::wstring UserProfile() const override { return L"C:\\Users\\bob"; }
    bool FolderExists(const std::wstring& path) const override { return existing.count(path) != 0; }

    std::wstring windows = L"C:\\Windows";
    std::wstring system = L"C:\\Windows\\system32";
    std::wstring appData = L"C:\\Users\\bob\\AppData\\Roaming";
    bool emptyCommon = false;
    std::set<std::wstring> existing;
    mutable std::vector<std::wstring> asked;
};

struct Expansion {
    std::wstring input;
    std::wstring path;
    std::wstring allUsers;
};

void ExpectExpansions(const std::vector<Expansion>& cases, const FakeFolders& folders = FakeFolders()) {
    for (const auto& c : cases) {
        std::wstring path = c.input, allUsers = L"stale";
        ExpandPathMacros(path, allUsers, folders);
        EXPECT_EQ(path, c.path) << c.input;
        EXPECT_EQ(allUsers, c.allUsers) << c.input;
    }
}

}  // namespace

TEST(PathMacros, EveryMacroWithItsReplacementAndAllUsersForm) {
    const std::wstring roaming = L"C:\\Users\\bob\\AppData\\Roaming";
    // Written in lower case on purpose: the search ignores case.
    ExpectExpansions({
        {L"%sysdir%\\a", L"C:\\Windows\\system32\\a", L""},
        {L"%windir%\\a", L"C:\\Windows\\a", L""},
        {L"%desktop%\\a", L"<F7>\\a", L"<C1>\\a"},
        {L"%temp%\\a", L"C:\\Windows\\temp\\a", L""},
        {L"%rootdrive%\\a", L"C:\\a", L""},
        {L"%appdata%\\a", roaming + L"\\a", L"<C0>\\a"},
        {L"%programfiles%\\a", L"<F15>\\a", L""},
        {L"%userroot%\\a", L"C:\\Users\\bob\\a", L""},
        {L"%programs%\\a", L"<F8>\\a", L"<C5>\\a"},
        {L"%startmenu%\\a", L"<F17>\\a", L"<C3>\\a"},
        {L"%startup%\\a", L"<F10>\\a", L"<C6>\\a"},
        {L"%quicklaunch%\\a", roaming + L"\\Microsoft\\Internet Explorer\\Quick Launch\\a", L""},
        {L"%commonfiles%\\a", L"<F16>\\a", L""},
        {L"%favorites%\\a", L"<F9>\\a", L"<C4>\\a"},
        {L"%das%\\a", L"C:\\Users\\a", L""},
        {L"%recycle%\\a", L"C:\\Recycler\\a", L""},
        {L"%windows%\\a", L"C:\\Windows\\a", L""},
        {L"%system%\\a", L"C:\\Windows\\system32\\a", L""},
        {L"%common_programs%\\a", L"<F16>\\a", L""},
        {L"%common_startmenu%\\a", L"<C5>\\a", L""},
        {L"%common_desktop%\\a", L"<C1>\\a", L""},
        {L"%common_favorites%\\a", L"<C4>\\a", L""},
        {L"%common_datapath%\\a", L"<C0>\\a", L""},
        {L"%datapath%\\a", roaming + L"\\a", L""},
        {L"%program_files%\\a", L"<F15>\\a", L""},
        {L"programfilesdir+\\a", L"<F15>\\a", L""},
        {L"%systemdrive%\\a", L"C:\\Windows\\system32\\a", L""},
        {L"systemroot+\\a", L"C:\\Windows\\system32\\a", L""},
        {L"commonprograms+\\a", L"<C2>\\a", L""},
        {L"%desktopdirectory%\\a", L"<F7>\\a", L""},
        {L"desktopdir+\\a", L"<F7>\\a", L""},
        {L"%common_desktopdirectory%\\a", L"<C1>\\a", L""},
        {L"startupfolder+\\a", L"<F10>\\a", L""},
        {L"%allusers_appdata%\\a", L"<C0>\\a", L""},
        {L"%start_menu%\\a", L"<F17>\\a", L""},
        {L"%start_menuall%\\a", L"<F17>\\a", L""},
        {L"%start_programsall%\\a", L"<F15>\\a", L""},
        {L"%start_programs%\\a", L"<F15>\\a", L""},
        {L"%systemdiskroot%\\a", L"C:\\a", L""},
        {L"%userprofile%\\a", L"C:\\Users\\bob\\a", L""},
        {L"%downloadedprogramfiles%\\a", L"C:\\Windows\\Downloaded Program Files\\a", L""},
        {L"%userdocuments%\\a", L"C:\\Users\\a", L""},
        {L"%%localappdata%%\\a", L"C:\\Users\\a", L""},
    });
}

TEST(PathMacros, TableHoldsFortyThreeMacrosEachReachable) {
    // A macro hidden by an earlier one that is a part of it could never be expanded.
    for (int i = 1; i <= kPathMacroCount; ++i)
        for (int earlier = 1; earlier < i; ++earlier)
            EXPECT_EQ(std::wstring(PathMacroText(i)).find(PathMacroText(earlier)), std::wstring::npos)
                << PathMacroText(i) << " contains " << PathMacroText(earlier);
    EXPECT_STREQ(PathMacroText(0), L"");
    EXPECT_STREQ(PathMacroText(kPathMacroCount + 1), L"");
}

TEST(PathMacros, OnlyTheFirstMacroOfTheTableIsExpandedEveryOccurrenceIgnoringCase) {
    ExpectExpansions({
        // "%WINDIR%" comes before "%SYSTEM%" in the table, whatever the order in the text.
        {L"%SYSTEM%\\x;%WINDIR%\\y", L"%SYSTEM%\\x;C:\\Windows\\y", L""},
        {L"%ProgramFiles%\\App\\uninst.exe", L"<F15>\\App\\uninst.exe", L""},
        {L"\"%WinDir%\\a.exe\" /u %WINDIR%\\b %windir%", L"\"C:\\Windows\\a.exe\" /u C:\\Windows\\b C:\\Windows", L""},
        {L"%Desktop%\\x.lnk;%DESKTOP%\\y", L"<F7>\\x.lnk;<F7>\\y", L"<C1>\\x.lnk;<C1>\\y"},
        // Unknown macros, stray percent signs and the empty text pass through untouched.
        {L"%NOTAMACRO%\\a 100%", L"%NOTAMACRO%\\a 100%", L""},
        {L"C:\\Program Files\\App\\uninst.exe /S", L"C:\\Program Files\\App\\uninst.exe /S", L""},
        {L"", L"", L""},
        // Case of the rest of the text is kept.
        {L"MiXeD\\%temp%\\SeTuP.exe", L"MiXeD\\C:\\Windows\\temp\\SeTuP.exe", L""},
    });
}

TEST(PathMacros, OnlyTheFoldersOfTheFoundMacroAreAskedFor) {
    FakeFolders folders;
    std::wstring path = L"%FAVORITES%\\x", allUsers;
    ExpandPathMacros(path, allUsers, folders);
    EXPECT_EQ(folders.asked, (std::vector<std::wstring>{L"C4", L"F9"}));
}

TEST(PathMacros, EmptyFoldersAndTheRecycleBinChoice) {
    FakeFolders folders;
    folders.windows.clear();
    folders.system = L"D:\\WINNT\\system32";
    folders.emptyCommon = true;
    folders.existing = {L"D:\\Recycled"};
    ExpectExpansions({
                         // A folder the system cannot give is replaced by nothing.
                         {L"%WINDIR%\\a", L"\\a", L""},
                         {L"%TEMP%\\a", L"\\a", L""},
                         // No all-users folder: no all-users form rather than a bare "\a".
                         {L"%DESKTOP%\\a", L"<F7>\\a", L""},
                         {L"%RECYCLE%\\a", L"D:\\Recycled\\a", L""},
                         {L"%ROOTDRIVE%", L"D:", L""},
                     },
                     folders);
}

TEST(PathMacros, RealFoldersOfThisSystem) {
    const TAppFrame frame;
    std::wstring path = L"%Desktop%\\x.lnk", allUsers;
    ExpandPathMacros(path, allUsers);
    ASSERT_FALSE(frame.FolderPath(7).empty());
    EXPECT_EQ(path, frame.FolderPath(7) + L"\\x.lnk");
    EXPECT_EQ(allUsers, frame.CommonFolderPath(1) + L"\\x.lnk");

    EXPECT_EQ(ExpandPathMacros(L"%TEMP%\\setup.exe"), tarvo::platform::GetWindowsFolder() + L"\\temp\\setup.exe");
    EXPECT_EQ(ExpandPathMacros(L"%SYSTEMDRIVE%"), tarvo::platform::GetSystemFolder());
    EXPECT_EQ(ExpandPathMacros(L"%SYSTEMDISKROOT%"), tarvo::platform::GetSystemFolder().substr(0, 2));
    EXPECT_EQ(ExpandPathMacros(L"%USERPROFILE%"), tarvo::platform::GetEnvironmentString(L"USERPROFILE"));
    EXPECT_EQ(ExpandPathMacros(L"no macro"), L"no macro");
}
