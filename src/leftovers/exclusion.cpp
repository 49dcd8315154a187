#include "leftovers/exclusion.h"

#include <shlobj.h>

#include <algorithm>

#include "common/text.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "settings/system_info.h"

namespace tarvo::leftovers {

namespace {

using common::EqualsIgnoreCase;
using common::LowerCase;

#ifndef CSIDL_CDBURN_AREA
#define CSIDL_CDBURN_AREA 0x003b
#endif

const int kReservedSpecialFolders[] = {
    CSIDL_INTERNET_CACHE, CSIDL_COOKIES,       CSIDL_HISTORY,         CSIDL_RECENT,
    CSIDL_DESKTOPDIRECTORY, CSIDL_APPDATA,     CSIDL_PROGRAMS,        CSIDL_FAVORITES,
    CSIDL_STARTUP,        CSIDL_LOCAL_APPDATA, CSIDL_PROGRAM_FILES,   CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_PROFILE,        CSIDL_STARTMENU,     CSIDL_COMMON_APPDATA,  CSIDL_FONTS,
    CSIDL_TEMPLATES,      CSIDL_NETHOOD,       CSIDL_SENDTO,          CSIDL_MYMUSIC,
    CSIDL_MYVIDEO,        CSIDL_PRINTHOOD,     CSIDL_MYPICTURES,      CSIDL_SYSTEMX86,
    CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMONX86, CSIDL_ADMINTOOLS, CSIDL_RESOURCES,
    CSIDL_CDBURN_AREA,    CSIDL_PERSONAL,
};

// Shared folders that have no place in the list above: the all-users ones, and those a
// 32-bit process is never told about (the native Program Files on 64-bit Windows).
const int kSharedSpecialFolders[] = {
    CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_MUSIC,     CSIDL_COMMON_PICTURES,
    CSIDL_COMMON_VIDEO,            CSIDL_COMMON_PROGRAMS,  CSIDL_COMMON_STARTMENU, CSIDL_COMMON_STARTUP,
    CSIDL_COMMON_TEMPLATES,        CSIDL_COMMON_FAVORITES, CSIDL_COMMON_ADMINTOOLS,
};

// Known folders of newer Windows, for the user and for all users; most have no CSIDL.
const wchar_t* const kSharedKnownFolders[] = {
    L"{374DE290-123F-4565-9164-39C4925E467B}",  // Downloads
    L"{5CD7AEE2-2219-4A67-B85D-6C9CE15660CB}",  // the per-user programs folder
    L"{BCBD3057-CA5C-4622-B42D-BC56DB0AE516}",  // its common files
    L"{DFDF76A2-C82A-4D63-906A-5644AC457385}",  // Public
    L"{C4AA340D-F20F-4863-AFEF-F87EF2E6BA25}",  // Public Desktop
    L"{ED4824AF-DCE4-45A8-81E2-FC7965083634}",  // Public Documents
    L"{3D644C9B-1FB8-4F30-9B45-F670235F79C0}",  // Public Downloads
    L"{3214FAB5-9757-4298-BB61-92A9DEAA44FF}",  // Public Music
    L"{B6EBFB86-6907-413C-9AF7-4FC2ABF07CC5}",  // Public Pictures
    L"{2400183A-6185-49FB-A2D8-4A392A602BA3}",  // Public Videos
    L"{4C5C32FF-BB9D-43B0-B5B4-2D72E54EAAA4}",  // Saved Games
    L"{BFB9D5E0-C6A9-404C-B2B2-AE6DB6AF4968}",  // Links
    L"{56784854-C6CB-462B-8169-88E350ACB882}",  // Contacts
    L"{7D1D3A04-DEBB-4115-95CF-2F29DA2920DA}",  // Searches
    L"{4BD8D571-6D19-48D3-BE97-422220080E43}",  // Music
    L"{33E28130-4E1E-4676-835A-98395C3BC3BB}",  // Pictures
    L"{18989B1D-99B5-455B-841C-AB7C74E4DDFC}",  // Videos
    L"{FDD39AD0-238F-46AF-ADB4-6C85480369C7}",  // Documents
    L"{B4BFCC3A-DB2C-424C-B029-7FE99A87C641}",  // Desktop
    L"{0762D272-C50A-4BB0-A382-697DCD729B80}",  // the folder that holds the user profiles
    L"{5E6C858F-0E22-4760-9AFE-EA3317B67173}",  // the user's profile
    L"{A520A1A4-1780-4FF6-BD18-167343C5AF16}",  // LocalLow
    L"{62AB5D82-FDC1-4DC3-A9DD-070D1D495D97}",  // ProgramData
    L"{6D809377-6AF0-444B-8957-A3773F02200E}",  // Program Files (native)
    L"{6365D5A7-0F0D-45E5-87F6-0DA56B6A4F7D}",  // Common Files (native)
    L"{A52BBA46-E9E1-435F-B3D9-28DAA648C0F6}",  // OneDrive
    L"{31C0DD25-9439-4F12-BF41-7FF4EDA38722}",  // 3D Objects
    L"{B7BEDE81-DF94-4682-A7D8-57A52620B86F}",  // Screenshots
    L"{AB5FB87B-7CE2-4F83-915D-550846C9537B}",  // Camera Roll
};

constexpr wchar_t kProfileListKey[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr wchar_t kCurrentVersionKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

std::wstring Expanded(const std::wstring& text) {
    std::wstring expanded;
    return platform::ExpandEnvironmentOf(text, expanded) ? expanded : text;
}

// The native view: where a 64-bit Windows keeps what a 32-bit process is told lives elsewhere.
platform::RegistryView NativeView() {
    return platform::ViewOf(settings::IsWow64());
}

void AddNativeProgramFolders(std::vector<std::wstring>& folders) {
    for (const wchar_t* name : {L"ProgramW6432", L"CommonProgramW6432", L"ProgramFiles(x86)", L"CommonProgramFiles(x86)"})
        folders.push_back(platform::GetEnvironmentString(name));
    platform::RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kCurrentVersionKey, KEY_READ, NativeView()) != ERROR_SUCCESS) return;
    for (const wchar_t* name : {L"ProgramFilesDir", L"CommonFilesDir", L"ProgramFilesDir (x86)", L"CommonFilesDir (x86)"})
        folders.push_back(Expanded(key.QueryString(name).value_or(std::wstring())));
}

// The folder of every profile, and the folders that hold them.
void AddProfileFolders(std::vector<std::wstring>& folders) {
    platform::RegistryKey list;
    if (list.Open(HKEY_LOCAL_MACHINE, kProfileListKey, KEY_READ, NativeView()) != ERROR_SUCCESS) return;
    for (const wchar_t* name : {L"ProfilesDirectory", L"Default", L"Public", L"ProgramData"})
        folders.push_back(Expanded(list.QueryString(name).value_or(std::wstring())));
    for (const auto& sid : list.SubKeyNames()) {
        platform::RegistryKey profile;
        if (profile.Open(list.get(), sid, KEY_READ, NativeView()) != ERROR_SUCCESS) continue;
        folders.push_back(Expanded(profile.QueryString(L"ProfileImagePath").value_or(std::wstring())));
    }
}

bool AnyEquals(const std::vector<std::wstring>& list, const std::wstring& name) {
    return std::any_of(list.begin(), list.end(), [&](const std::wstring& item) { return EqualsIgnoreCase(item, name); });
}

}  // namespace

std::vector<ReservedFolderSource::Drive> SystemReservedFolderSource::Drives() const {
    std::vector<Drive> drives;
    for (const auto& root : platform::GetLogicalDriveRoots()) {
        Drive drive;
        drive.root = root;
        drive.type = platform::GetDriveTypeOf(root);
        // Only fixed and removable drives are asked further: a network root may hang.
        if (drive.type == DRIVE_FIXED || drive.type == DRIVE_REMOVABLE) {
            drive.volumeReadable = platform::VolumeInformationAvailable(root);
            drive.freeSpaceReadable = drive.volumeReadable && platform::DiskFreeSpaceAvailable(root);
        }
        drives.push_back(std::move(drive));
    }
    return drives;
}

std::vector<std::wstring> SystemReservedFolderSource::NamedFolders() const {
    std::vector<std::wstring> folders = {platform::GetWindowsFolder(), platform::GetSystemFolder(),
                                         platform::GetTempFolder()};
    for (const int csidl : kReservedSpecialFolders) folders.push_back(platform::GetSpecialFolderPath(csidl));
    for (const int csidl : kSharedSpecialFolders) folders.push_back(platform::GetSpecialFolderPath(csidl));
    for (const wchar_t* id : kSharedKnownFolders) {
        std::wstring path;
        if (platform::GetKnownFolderPathOf(id, path) == platform::KnownFolderResult::Found) folders.push_back(path);
    }
    // Where the shell cannot name the per-user programs folder, Windows keeps it here.
    const std::wstring local = platform::GetSpecialFolderPath(CSIDL_LOCAL_APPDATA);
    if (!local.empty()) folders.push_back(local + L"\\Programs");
    // The scheduler's folders: a removed task's file leaves them, never emptied away. A
    // 32-bit process names the native one through Sysnative.
    const std::wstring windows = platform::GetWindowsFolder();
    if (!windows.empty())
        for (const wchar_t* tasks : {L"\\System32\\Tasks", L"\\Sysnative\\Tasks", L"\\Tasks"})
            folders.push_back(windows + tasks);
    AddNativeProgramFolders(folders);
    AddProfileFolders(folders);
    return folders;
}

std::wstring SystemReservedFolderSource::SystemDrive() const {
    return platform::GetEnvironmentString(L"SYSTEMDRIVE");
}

std::wstring FolderForm(const std::wstring& path) {
    std::wstring form = LowerCase(common::Trim(path));
    if (!form.empty() && form.back() != L'\\') form += L'\\';
    return form;
}

TReservedFolders::TReservedFolders() : TReservedFolders(SystemReservedFolderSource()) {}

TReservedFolders::TReservedFolders(const ReservedFolderSource& source) {
    for (const auto& drive : source.Drives()) {
        if (drive.root.empty()) continue;
        const wchar_t letter = static_cast<wchar_t>(towupper(drive.root[0]));
        if (letter == L'A' || letter == L'B') continue;
        if (drive.type != DRIVE_FIXED && drive.type != DRIVE_REMOVABLE) continue;
        if (!drive.volumeReadable || !drive.freeSpaceReadable) continue;
        Add(drive.root);
    }
    for (const auto& folder : source.NamedFolders()) Add(folder);
    const std::wstring systemDrive = source.SystemDrive();
    if (!systemDrive.empty()) Add(systemDrive + L"\\WINDOWS\\SysWOW64");
}

void TReservedFolders::Add(const std::wstring& folder) {
    const std::wstring form = FolderForm(folder);
    if (!form.empty() && std::find(folders_.begin(), folders_.end(), form) == folders_.end()) folders_.push_back(form);
}

bool TReservedFolders::IsReservedFolder(const std::wstring& path) const {
    const std::wstring form = FolderForm(path);
    return !form.empty() && std::find(folders_.begin(), folders_.end(), form) != folders_.end();
}

bool TReservedFolders::IsAboveReservedFolder(const std::wstring& path) const {
    const std::wstring form = FolderForm(path);
    if (form.empty()) return false;
    return std::any_of(folders_.begin(), folders_.end(), [&](const std::wstring& folder) {
        return folder.size() > form.size() && folder.compare(0, form.size(), form) == 0;
    });
}

const std::vector<std::wstring>& ReservedClasses() {
    static const std::vector<std::wstring> classes = {
        L"*",       L"directory", L"folder",        L"drive",   L"lnkfile",           L"internetshortcut",
        L"exefile", L"dllfile",   L"ocxfile",       L"giffile", L"icofile",           L"jpegfile",
        L"Paint.Picture", L"pngfile", L"TIFImage.Document", L"wmffile",
    };
    return classes;
}

bool IsReservedClass(const std::wstring& name) { return AnyEquals(ReservedClasses(), name); }

const std::vector<std::wstring>& SkippedVendorKeys() {
    static const std::vector<std::wstring> keys = {L"classes", L"clients", L"intel",     L"imgBurn",
                                                   L"caphyou", L"cddb",    L"Microsoft", L"Wow6432Node"};
    return keys;
}

bool IsSkippedVendorKey(const std::wstring& name) { return AnyEquals(SkippedVendorKeys(), name); }

}  // namespace tarvo::leftovers
