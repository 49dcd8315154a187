#include "setup/start_menu_pin.h"

#include <windows.h>
#include <shlobj.h>

#include "common/paths.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/library.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "setup/install_files.h"
#include "setup/startup_folders.h"

namespace tarvo::setup {

namespace {
constexpr const wchar_t* kPinListKey7 = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartPage2";
constexpr const wchar_t* kPinListKeyXp = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartPage";

std::string UpperAscii(std::string text) {
    for (auto& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string ReadPinBlob(const wchar_t* keyPath) {
    platform::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ) != ERROR_SUCCESS) return {};
    const auto value = key.QueryValue(L"Favorites");
    if (!value || value->type != REG_BINARY) return {};
    return std::string(value->data.begin(), value->data.end());
}

void WritePinBlob(const wchar_t* keyPath, const std::string& blob) {
    platform::RegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_SET_VALUE) != ERROR_SUCCESS) return;
    (void)key.SetValue(L"Favorites", REG_BINARY, blob.data(), static_cast<DWORD>(blob.size()));
}

bool Win7Layout() {
    const auto version = platform::GetVersionExOf();
    // Windows 7 and later keep pinned items as links in the "User Pinned" folder.
    return version && (version->dwMajorVersion > 6 || (version->dwMajorVersion == 6 && version->dwMinorVersion >= 1));
}

std::wstring RoamingAppData() { return platform::GetSpecialFolderPath(CSIDL_APPDATA); }

std::wstring PinnedLinkPath(const std::wstring& name) {
    return RoamingAppData() + L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\StartMenu\\" + name + L".lnk";
}
}  // namespace

PinList ParsePinList(const std::string& blob) {
    PinList list;
    std::size_t at = 0;
    while (blob.size() - at >= 4) {
        const std::size_t length = static_cast<unsigned char>(blob[at + 1]) |
                                   (static_cast<std::size_t>(static_cast<unsigned char>(blob[at + 2])) << 8);
        const std::size_t size = 3 + length + 2;
        if (size > blob.size() - at) break;
        PinRecord record;
        record.bytes = blob.substr(at, size);
        for (std::size_t i = 0; i < length + 1; ++i) {
            const char c = blob[at + 3 + i];
            if (c >= 32 && c <= 126) record.text.push_back(c);
        }
        list.records.push_back(std::move(record));
        at += size;
    }
    list.tail = blob.substr(at);
    return list;
}

bool PinRecordMatches(const PinRecord& record, const std::wstring& name) {
    const std::string wanted = UpperAscii(platform::WideToMultiByte(name, CP_ACP));
    return !wanted.empty() && UpperAscii(record.text).find(wanted) != std::string::npos;
}

std::string PinListWithout(const PinList& list, const std::wstring& name, bool& removed) {
    std::string blob;
    removed = false;
    for (const auto& record : list.records) {
        if (PinRecordMatches(record, name)) removed = true;
        else blob += record.bytes;
    }
    return blob + list.tail;
}

std::string PinListMatchingFirst(const PinList& list, const std::wstring& name, bool& moved) {
    std::string first, rest;
    moved = false;
    for (const auto& record : list.records) {
        const bool matches = PinRecordMatches(record, name);
        moved = moved || matches;
        (matches ? first : rest) += record.bytes;
    }
    return first + rest + list.tail;
}

bool LooksLikeInstallerName(const std::wstring& name) {
    for (const wchar_t* word : {L"UNINSTALL", L"REMOVE", L"SETUP", L"INSTALL"})
        if (common::Contains(common::UpperCase(name), word)) return true;
    return false;
}

std::wstring ShellVerbText(PinAction action) {
    static constexpr UINT kIds[] = {5381, 5382, 5386, 5387};
    return platform::LoadStringFrom(L"shell32.dll", kIds[static_cast<int>(action)], 1000);
}

int InvokeShellVerb(const std::wstring& path, const std::wstring& verbText) {
    switch (platform::InvokeFolderItemVerb(common::WithoutTrailingBackslashes(common::FolderPart(path)),
                                           common::NamePart(path), verbText)) {
    case platform::ShellVerbResult::Done: return 0;
    case platform::ShellVerbResult::NoShellObject: return -2;
    case platform::ShellVerbResult::VerbNotOffered: return -3;
    case platform::ShellVerbResult::ItemNotFound: return -4;
    }
    return -2;
}

int RemoveFromPinList(const std::wstring& name) {
    const std::string blob = ReadPinBlob(kPinListKey7);
    bool removed = false;
    const std::string rest = PinListWithout(ParsePinList(blob), name, removed);
    if (removed) {
        WritePinBlob(kPinListKey7, rest);
        RefreshPins();
    }
    return -3;
}

void MovePinToFront(const std::wstring& name, bool win7Layout) {
    const wchar_t* keyPath = win7Layout ? kPinListKey7 : kPinListKeyXp;
    bool moved = false;
    const std::string blob = PinListMatchingFirst(ParsePinList(ReadPinBlob(keyPath)), name, moved);
    if (!moved) return;
    WritePinBlob(keyPath, blob);
    RefreshPins();
}

void RefreshPins() {
    // Pinning and unpinning a throw-away file makes Explorer read the pin list again.
    const std::wstring file = platform::GetSpecialFolderPath(CSIDL_TEMPLATES) + L"\\Temp.exe";
    if (!platform::FileExists(file)) (void)platform::WriteFileBytes(file, {});
    for (const PinAction action : {PinAction::PinToStartMenu, PinAction::UnpinFromStartMenu}) {
        const std::wstring verb = ShellVerbText(action);
        if (!verb.empty()) (void)InvokeShellVerb(file, verb);
    }
    if (!platform::DeleteFileOf(file)) (void)platform::DeleteFileAtRestart(file);
}

int PinToStartMenu(const std::wstring& target, const std::wstring& name, PinAction action) {
    const bool win7Layout = Win7Layout();
    const std::wstring pinLink = PinnedLinkPath(name);
    if (win7Layout && LooksLikeInstallerName(name)) {
        if (action == PinAction::PinToStartMenu) {
            if (platform::FileExists(pinLink)) {
                const std::wstring linked = platform::LongPathOf(platform::ResolveShellLinkTarget(pinLink));
                const std::wstring ownFolder = common::FolderPart(RunningExecutablePath());
                if (!linked.empty() && common::StartsWith(common::LowerCase(linked), common::LowerCase(ownFolder)))
                    return -3;
                (void)RemoveFromPinList(name);
                (void)platform::DeleteFileOf(pinLink);
            }
        } else if (action == PinAction::UnpinFromStartMenu) {
            (void)RemoveFromPinList(name);
            (void)platform::DeleteFileOf(pinLink);
            return 0;
        }
    }
    const std::wstring verbText = ShellVerbText(action);
    if (verbText.empty()) return -2;
    std::wstring path = target;
    if (!win7Layout && !name.empty()) {
        // Older systems pin a link of ours, so the Start menu shows our name, not the file's.
        const std::wstring folder = RoamingAppData() + L"\\Tarvo\\";
        path = folder + name + L".lnk";
        if (action == PinAction::PinToStartMenu) {
            (void)platform::CreateDirectoryOf(folder);
            (void)platform::CreateShellLinkIn(path, target, common::FolderPart(target));
        }
    }
    const int result = InvokeShellVerb(path, verbText);
    if (result == 0 && action == PinAction::PinToStartMenu) MovePinToFront(name, win7Layout);
    return result;
}

}  // namespace tarvo::setup
