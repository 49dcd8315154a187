#include "settings/path_macros.h"

#include <cwchar>

#include "platform/files.h"
#include "platform/folders.h"
#include "platform/text.h"
#include "settings/app_frame.h"

namespace tarvo::settings {

namespace {

// What a macro stands for. Folder/Common take the index of TAppFrame's tables.
enum class Source {
    None,
    Folder,
    Common,
    SystemDrive,       // first two characters of the system directory ("C:")
    WindowsTemp,       // Windows directory + "\temp", not the user's temporary folder
    UserProfile,
    QuickLaunch,
    ProfilesRoot,
    RecycleBin,
    DownloadedPrograms,
};

struct Target {
    Source source = Source::None;
    int index = 0;
};

struct Macro {
    const wchar_t* text;  // upper case, as searched
    Target target;
    Target allUsers;      // Source::None: no all-users form
};

constexpr Target F(int index) { return {Source::Folder, index}; }
constexpr Target C(int index) { return {Source::Common, index}; }
constexpr Target S(Source source) { return {source, 0}; }
constexpr Target kNone{};

// Order matters: the first macro found wins, so "%SYSTEM%" yields to "%WINDIR%".
constexpr Macro kMacros[kPathMacroCount] = {
    {L"%SYSDIR%", F(1), kNone},
    {L"%WINDIR%", F(0), kNone},
    {L"%DESKTOP%", F(7), C(1)},
    {L"%TEMP%", S(Source::WindowsTemp), kNone},
    {L"%ROOTDRIVE%", S(Source::SystemDrive), kNone},
    {L"%APPDATA%", F(12), C(0)},
    {L"%PROGRAMFILES%", F(15), kNone},
    {L"%USERROOT%", S(Source::UserProfile), kNone},
    {L"%PROGRAMS%", F(8), C(5)},
    {L"%STARTMENU%", F(17), C(3)},
    {L"%STARTUP%", F(10), C(6)},
    {L"%QUICKLAUNCH%", S(Source::QuickLaunch), kNone},
    {L"%COMMONFILES%", F(16), kNone},
    {L"%FAVORITES%", F(9), C(4)},
    {L"%DAS%", S(Source::ProfilesRoot), kNone},
    {L"%RECYCLE%", S(Source::RecycleBin), kNone},
    {L"%WINDOWS%", F(0), kNone},
    {L"%SYSTEM%", F(1), kNone},
    {L"%COMMON_PROGRAMS%", F(16), kNone},
    {L"%COMMON_STARTMENU%", C(5), kNone},
    {L"%COMMON_DESKTOP%", C(1), kNone},
    {L"%COMMON_FAVORITES%", C(4), kNone},
    {L"%COMMON_DATAPATH%", C(0), kNone},
    {L"%DATAPATH%", F(12), kNone},
    {L"%PROGRAM_FILES%", F(15), kNone},
    {L"PROGRAMFILESDIR+", F(15), kNone},
    {L"%SYSTEMDRIVE%", F(1), kNone},
    {L"SYSTEMROOT+", F(1), kNone},
    {L"COMMONPROGRAMS+", C(2), kNone},
    {L"%DESKTOPDIRECTORY%", F(7), kNone},
    {L"DESKTOPDIR+", F(7), kNone},
    {L"%COMMON_DESKTOPDIRECTORY%", C(1), kNone},
    {L"STARTUPFOLDER+", F(10), kNone},
    {L"%ALLUSERS_APPDATA%", C(0), kNone},
    {L"%START_MENU%", F(17), kNone},
    {L"%START_MENUALL%", F(17), kNone},
    {L"%START_PROGRAMSALL%", F(15), kNone},
    {L"%START_PROGRAMS%", F(15), kNone},
    {L"%SYSTEMDISKROOT%", S(Source::SystemDrive), kNone},
    {L"%USERPROFILE%", S(Source::UserProfile), kNone},
    {L"%DOWNLOADEDPROGRAMFILES%", S(Source::DownloadedPrograms), kNone},
    {L"%USERDOCUMENTS%", S(Source::ProfilesRoot), kNone},
    {L"%%LOCALAPPDATA%%", S(Source::ProfilesRoot), kNone},
};

std::wstring Resolve(const Target& target, const PathMacroFolders& folders) {
    switch (target.source) {
    case Source::None: return {};
    case Source::Folder: return folders.Folder(target.index);
    case Source::Common: return folders.CommonFolder(target.index);
    case Source::SystemDrive: return folders.Folder(1).substr(0, 2);
    case Source::WindowsTemp: {
        const auto windows = folders.Folder(0);
        return windows.empty() ? windows : windows + L"\\temp";
    }
    case Source::UserProfile: return folders.UserProfile();
    case Source::QuickLaunch: {
        const auto appData = folders.Folder(12);
        return appData.empty() ? appData : appData + L"\\Microsoft\\Internet Explorer\\Quick Launch";
    }
    case Source::ProfilesRoot: return ProfilesRootOf(folders.Folder(12));
    case Source::RecycleBin: {
        const auto system = folders.Folder(1);
        if (system.size() < 3) return {};
        const auto root = system.substr(0, 3);
        return folders.FolderExists(root + L"Recycled") ? root + L"Recycled" : root + L"Recycler";
    }
    case Source::DownloadedPrograms: {
        const auto windows = folders.Folder(0);
        return windows.empty() ? windows : windows + L"\\Downloaded Program Files";
    }
    }
    return {};
}

// Replaces every occurrence of `macro` in `path`, found in its upper-case twin `upper`.
std::wstring ReplaceAll(const std::wstring& path, const std::wstring& upper, const std::wstring& macro,
                        const std::wstring& replacement) {
    std::wstring result;
    std::size_t from = 0;
    for (auto at = upper.find(macro); at != std::wstring::npos; at = upper.find(macro, at + macro.size())) {
        result.append(path, from, at - from).append(replacement);
        from = at + macro.size();
    }
    return result.append(path, from, std::wstring::npos);
}

class SystemFolders final : public PathMacroFolders {
public:
    std::wstring Folder(int index) const override { return frame_.FolderPath(index); }
    std::wstring CommonFolder(int index) const override { return frame_.CommonFolderPath(index); }
    std::wstring UserProfile() const override { return platform::GetEnvironmentString(L"USERPROFILE"); }
    bool FolderExists(const std::wstring& path) const override { return platform::FolderExists(path); }

private:
    TAppFrame frame_;
};

}  // namespace

const wchar_t* PathMacroText(int number) noexcept {
    return number >= 1 && number <= kPathMacroCount ? kMacros[number - 1].text : L"";
}

void ExpandPathMacros(std::wstring& path, std::wstring& allUsersPath, const PathMacroFolders& folders) {
    allUsersPath.clear();
    const std::wstring upper = platform::UpperCase(path);
    for (const auto& macro : kMacros) {
        if (upper.find(macro.text) == std::wstring::npos) continue;
        if (macro.allUsers.source != Source::None) {
            // An all-users form with no all-users folder would point somewhere unrelated.
            const auto common = Resolve(macro.allUsers, folders);
            if (!common.empty()) allUsersPath = ReplaceAll(path, upper, macro.text, common);
        }
        path = ReplaceAll(path, upper, macro.text, Resolve(macro.target, folders));
        return;
    }
}

void ExpandPathMacros(std::wstring& path, std::wstring& allUsersPath) {
    // Cheap exit for the usual registry text: no macro character at all.
    if (path.find_first_of(L"%+") == std::wstring::npos) {
        allUsersPath.clear();
        return;
    }
    ExpandPathMacros(path, allUsersPath, SystemFolders());
}

std::wstring ExpandPathMacros(const std::wstring& path) {
    std::wstring expanded = path, allUsers;
    ExpandPathMacros(expanded, allUsers);
    return expanded;
}

}  // namespace tarvo::settings
