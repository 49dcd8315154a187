#include "settings/app_frame.h"

#include <windows.h>
#include <shlobj.h>

#include "common/paths.h"
#include "platform/files.h"
#include "platform/folders.h"

namespace tarvo::settings {

namespace {

// CSIDL of each FolderPath index; 0 marks the indexes answered otherwise (0..2) or not at
// all (14). CSIDL_DESKTOP is 0 too, but no index asks for it.
constexpr int kFolderCsidl[36] = {
    0, 0, 0,                                       // Windows, system, temporary
    CSIDL_INTERNET_CACHE, CSIDL_COOKIES, CSIDL_HISTORY, CSIDL_RECENT, CSIDL_DESKTOPDIRECTORY,
    CSIDL_PROGRAMS, CSIDL_FAVORITES, CSIDL_STARTUP, CSIDL_PROFILE, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA,
    0,                                             // 14: unused
    CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILES_COMMON, CSIDL_STARTMENU, CSIDL_COMMON_APPDATA,
    CSIDL_LOCAL_APPDATA, CSIDL_FONTS, CSIDL_TEMPLATES, CSIDL_NETHOOD, CSIDL_SENDTO, CSIDL_MYMUSIC,
    CSIDL_MYVIDEO, CSIDL_PRINTHOOD, CSIDL_MYPICTURES, CSIDL_SYSTEMX86, CSIDL_PROGRAM_FILESX86,
    CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_ADMINTOOLS, CSIDL_RESOURCES,
    CSIDL_CDBURN_AREA, CSIDL_PERSONAL};

constexpr int kCommonCsidl[13] = {
    CSIDL_COMMON_APPDATA, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_PROGRAMS, CSIDL_COMMON_STARTMENU,
    CSIDL_COMMON_FAVORITES, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_STARTUP, CSIDL_COMMON_TEMPLATES,
    CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_ADMINTOOLS, CSIDL_COMMON_MUSIC, CSIDL_COMMON_PICTURES,
    CSIDL_COMMON_VIDEO};

std::wstring FolderOf(const std::wstring& filePath) { return common::FolderPart(filePath); }

}  // namespace

TAppFrame::TAppFrame()
    : commonAppData_(platform::GetSpecialFolderPath(CSIDL_COMMON_APPDATA)),
      appData_(platform::GetSpecialFolderPath(CSIDL_APPDATA)),
      programFolder_(FolderOf(platform::GetModuleFilePath())) {}

std::wstring TAppFrame::DataFolder() const {
    if (appData_.empty()) return {};
    const std::wstring parent = appData_ + L"\\Tarvo";
    const std::wstring folder = appData_ + kDataSubFolder;
    // Failures show up later, when a file in the folder cannot be written.
    if (!platform::FolderExists(parent)) (void)platform::CreateDirectoryOf(parent);
    if (!platform::FolderExists(folder)) (void)platform::CreateDirectoryOf(folder);
    return folder;
}

std::wstring TAppFrame::SettingsFile() const {
    if (appData_.empty()) return {};
    return appData_ + kDataSubFolder + L"\\" + kSettingsFileName;
}

void TAppFrame::FolderPath(int index, std::wstring& path) const {
    switch (index) {
    case 0: path = platform::GetWindowsFolder(); return;
    case 1: path = platform::GetSystemFolder(); return;
    case 2: path = platform::GetTempFolder(); return;
    case 12: path = appData_; return;
    case 18: path = commonAppData_; return;
    default:
        if (index < 3 || index > 35 || index == 14) return;
        path = platform::GetSpecialFolderPath(kFolderCsidl[index]);
    }
}

std::wstring TAppFrame::FolderPath(int index) const {
    std::wstring path;
    FolderPath(index, path);
    return path;
}

void TAppFrame::CommonFolderPath(int index, std::wstring& path) const {
    if (index < 0 || index > 12) return;
    path = index == 0 ? commonAppData_ : platform::GetSpecialFolderPath(kCommonCsidl[index]);
}

std::wstring TAppFrame::CommonFolderPath(int index) const {
    std::wstring path;
    CommonFolderPath(index, path);
    return path;
}

std::wstring TAppFrame::ProfilesRoot() const { return ProfilesRootOf(appData_); }

std::wstring ProfilesRootOf(const std::wstring& appDataFolder) {
    const auto first = appDataFolder.find(L'\\');
    if (first == std::wstring::npos) return appDataFolder;
    const auto second = appDataFolder.find(L'\\', first + 1);
    return appDataFolder.substr(0, second);
}

std::wstring DataFolder() { return TAppFrame().DataFolder(); }
std::wstring SettingsFile() { return TAppFrame().SettingsFile(); }

}  // namespace tarvo::settings
