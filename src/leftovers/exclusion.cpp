#include "leftovers/exclusion.h"

#include <shlobj.h>

#include <algorithm>

#include "inventory/text_util.h"
#include "platform/drives.h"
#include "platform/special_folders.h"

namespace tarvo::leftovers {

namespace {

using inventory::EqualsIgnoreCase;
using inventory::LowerCase;

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
    return folders;
}

std::wstring SystemReservedFolderSource::SystemDrive() const {
    return platform::GetEnvironmentString(L"SYSTEMDRIVE");
}

std::wstring FolderForm(const std::wstring& path) {
    std::wstring form = LowerCase(inventory::Trim(path));
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
