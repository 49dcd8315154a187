// What the installation writes into the registry and the shortcuts it makes, and taking
// both away again.

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <vector>

#include "common/paths.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "settings/system_info.h"
#include "setup/install_check.h"
#include "setup/install_files.h"
#include "setup/self_installation.h"
#include "setup/start_menu_pin.h"
#include "setup/startup_folders.h"

namespace tarvo::setup {

namespace {
constexpr const wchar_t* kControlPanelNameSpace =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ControlPanel\\NameSpace\\";
constexpr const wchar_t* kProductName = L"Tarvo Uninstaller";
constexpr const wchar_t* kStartMenuLinkName = L"Uninstall Programs";
constexpr const wchar_t* kProgramsGroup = L"Tarvo Uninstaller";

platform::RegistryView ShellView() {
    // The Control Panel and Explorer of 64-bit Windows read the 64-bit view.
    return settings::IsWow64() ? platform::RegistryView::Wow64_64Key : platform::RegistryView::Default;
}

void SetText(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text,
             platform::RegistryView view = platform::RegistryView::Default) {
    platform::RegistryKey key;
    if (key.Create(root, path, KEY_WRITE, view) == ERROR_SUCCESS) (void)key.SetString(name, text);
}

void SetNumber(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value,
               platform::RegistryView view) {
    platform::RegistryKey key;
    if (key.Create(root, path, KEY_WRITE, view) == ERROR_SUCCESS) (void)key.SetDword(name, value);
}

// The keys above our Control Panel item that the installation had to create, kept in our
// uninstall key so the removal takes away those and no key that was there before.
constexpr const wchar_t* kCreatedKeysValue = L"CreatedKeys";

std::vector<std::wstring> ReadCreatedKeys() {
    std::vector<std::wstring> keys;
    platform::RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kOwnUninstallKey, KEY_READ) != ERROR_SUCCESS) return keys;
    const auto value = key.QueryValue(kCreatedKeysValue);
    if (!value || value->type != REG_MULTI_SZ) return keys;
    std::wstring text(value->data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), value->data.data(), text.size() * sizeof(wchar_t));
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(L'\0', start), text.size());
        if (end > start) keys.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return keys;
}

void WriteCreatedKeys(const std::vector<std::wstring>& keys) {
    std::wstring text;
    for (const auto& path : keys) text += path + L'\0';
    text += L'\0';
    platform::RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, kOwnUninstallKey, KEY_WRITE) == ERROR_SUCCESS)
        (void)key.SetValue(kCreatedKeysValue, REG_MULTI_SZ, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

std::wstring Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    wchar_t text[16] = {};
    std::wcsftime(text, 16, L"%Y%m%d", &local);
    return text;
}

std::wstring ProgramsGroupFolder() {
    return platform::GetSpecialFolderPath(CSIDL_COMMON_PROGRAMS) + L"\\" + kProgramsGroup + L"\\";
}

std::wstring PinnedLinksFolder() {
    const std::wstring appData = platform::GetSpecialFolderPath(CSIDL_APPDATA);
    if (settings::WindowsName() == L"Windows XP") return appData + L"\\Tarvo\\";
    return appData + L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\StartMenu\\";
}

void DeleteLink(const std::wstring& folder, const std::wstring& name) {
    (void)platform::DeleteFileOf(common::WithTrailingBackslash(folder) + name + L".lnk");
}
}  // namespace

void WriteRegistration(const std::wstring& exePath) {
    const std::wstring target = common::FolderPart(exePath);
    SetText(HKEY_LOCAL_MACHINE, kOwnUninstallKey, L"InstallLocation", exePath);
    SetText(HKEY_LOCAL_MACHINE, kOwnUninstallKey, L"UninstallString",
            L"\"" + target + L"RemovalHost.exe\" uninstall_start");
    SetText(HKEY_LOCAL_MACHINE, kOwnUninstallKey, L"DisplayVersion", OwnFileVersionText());
    SetText(HKEY_LOCAL_MACHINE, kOwnUninstallKey, L"DisplayIcon", exePath);
    SetText(HKEY_LOCAL_MACHINE, kOwnUninstallKey, L"DisplayName", kProductName);
    SetText(HKEY_LOCAL_MACHINE, kOwnUninstallKey, L"Publisher", L"Tarvo");
    SetText(HKEY_LOCAL_MACHINE, kOwnUninstallKey, L"InstallDate", Today());

    const platform::RegistryView view = ShellView();
    const std::wstring classKey = std::wstring(L"CLSID\\") + kControlPanelClassId;
    std::vector<std::wstring> created = ReadCreatedKeys();
    (void)platform::CreateKeyNotingNew(HKEY_LOCAL_MACHINE, common::WithoutTrailingBackslashes(kControlPanelNameSpace),
                                       view, created);
    WriteCreatedKeys(created);
    SetText(HKEY_LOCAL_MACHINE, kControlPanelNameSpace + std::wstring(kControlPanelClassId), L"", kProductName, view);
    SetText(HKEY_CLASSES_ROOT, classKey, L"", kProductName, view);
    SetNumber(HKEY_CLASSES_ROOT, classKey, L"{305CA226-D286-468e-B848-2B2E8E697B74} 2", 8, view);
    SetText(HKEY_CLASSES_ROOT, classKey, L"InfoTip", L"Uninstall/Remove programs, clean browser plugins", view);
    SetText(HKEY_CLASSES_ROOT, classKey + L"\\DefaultIcon", L"", exePath + L",0", view);
    SetText(HKEY_CLASSES_ROOT, classKey + L"\\Shell\\Open\\command", L"", L"\"" + exePath + L"\" control_statistics",
            view);
    SetNumber(HKEY_CLASSES_ROOT, classKey + L"\\ShellFolder", L"Attributes", 48, view);
}

void DeleteRegistration() {
    const platform::RegistryView view = ShellView();
    const std::vector<std::wstring> created = ReadCreatedKeys();
    (void)platform::DeleteKeyTree(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + kControlPanelClassId, view);
    (void)platform::DeleteKeyTree(HKEY_LOCAL_MACHINE, kControlPanelNameSpace + std::wstring(kControlPanelClassId),
                                  view);
    platform::DeleteKeysLeftEmpty(HKEY_LOCAL_MACHINE, created, view);
    (void)platform::DeleteKeyTree(HKEY_LOCAL_MACHINE, kOwnUninstallKey, platform::RegistryView::Default);
}

void CreateShortcuts(const std::wstring& exePath) {
    const std::wstring target = common::FolderPart(exePath);
    const std::wstring group = ProgramsGroupFolder();
    (void)platform::CreateDirectoryOf(group);
    struct GroupLink {
        const wchar_t* name;
        const wchar_t* file;
        const wchar_t* arguments;
    };
    static constexpr GroupLink kGroup[] = {{L"Tarvo Uninstaller", kInstalledExeName, L""},
                                           {L"Uninstall Tarvo Uninstaller", L"RemovalHost.exe", L"uninstall_start"},
                                           {L"Help", L"help.html", L""}};
    for (const auto& link : kGroup) {
        DeleteLink(group, link.name);
        CreateShortcut(target + link.file, link.name, group, -1, link.arguments);
    }
    DeleteLink(platform::GetSpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY), L"Uninstaller");
    CreateShortcut(exePath, L"Uninstaller", {}, CSIDL_COMMON_DESKTOPDIRECTORY);

    const std::wstring pinned = PinnedLinksFolder();
    if (platform::FileExists(pinned + kStartMenuLinkName + L".lnk")) {
        DeleteLink(pinned, kStartMenuLinkName);
        CreateShortcut(exePath, kStartMenuLinkName, pinned, -1);
    }
    DeleteLink(platform::GetSpecialFolderPath(CSIDL_COMMON_STARTMENU), kStartMenuLinkName);
    DeleteLink(platform::GetSpecialFolderPath(CSIDL_STARTMENU), kStartMenuLinkName);
    CreateShortcut(exePath, kStartMenuLinkName, {}, CSIDL_STARTMENU);
    (void)PinToStartMenu(exePath, kStartMenuLinkName, PinAction::PinToStartMenu);
}

void DeleteShortcuts() {
    const std::wstring group = ProgramsGroupFolder();
    for (const wchar_t* name : {L"Tarvo Uninstaller", L"Uninstall Tarvo Uninstaller", L"Help"}) DeleteLink(group, name);
    (void)platform::RemoveDirectoryOf(group);
    DeleteLink(platform::GetSpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY), L"Uninstaller");
    DeleteLink(platform::GetSpecialFolderPath(CSIDL_COMMON_STARTMENU), kStartMenuLinkName);
    DeleteLink(platform::GetSpecialFolderPath(CSIDL_STARTMENU), kStartMenuLinkName);
}

void UnpinStartMenuLink() { (void)PinToStartMenu({}, kStartMenuLinkName, PinAction::UnpinFromStartMenu); }

}  // namespace tarvo::setup
