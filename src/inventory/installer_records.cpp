#include "inventory/installer_records.h"

#include <cwchar>
#include <cwctype>

#include "common/paths.h"
#include "inventory/command_analysis.h"
#include "inventory/command_text.h"
#include "inventory/file_facts.h"
#include "common/text.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "settings/system_info.h"

namespace tarvo::inventory {

using common::EqualsIgnoreCase;
using common::Trim;
using common::UpperCase;

namespace {

constexpr wchar_t kUserData[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";

// Windows Installer is a native service: its records live in the 64-bit view.
platform::RegistryView NativeView() {
    return platform::ViewOf(settings::IsWow64());
}

std::wstring KeyName(const std::wstring& keyPath) { return common::NamePart(keyPath); }

// "01:\Software\…" and the like: a registry component, no place on disk.
bool IsRegistryPath(const std::wstring& path) {
    return path.size() >= 3 && std::iswdigit(path[0]) && std::iswdigit(path[1]) && path[2] == L':';
}

std::vector<std::wstring> Components(const std::wstring& folder) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start < folder.size()) {
        const auto end = folder.find(L'\\', start);
        if (end == std::wstring::npos) {
            parts.push_back(folder.substr(start));
            break;
        }
        parts.push_back(folder.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The folders components of many products share. A product whose components span several
// of them ("C:\\Program Files (x86)\\" for one under Common Files and one in its own folder)
// has no folder of its own to name.
bool IsSharedPlace(const std::wstring& folder) {
    const std::wstring wanted = UpperCase(folder);
    std::vector<std::wstring> shared = {platform::GetWindowsFolder(), platform::GetSystemFolder()};
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"CommonProgramFiles",
                                L"CommonProgramFiles(x86)", L"CommonProgramW6432", L"ProgramData", L"ALLUSERSPROFILE",
                                L"USERPROFILE", L"PUBLIC", L"APPDATA", L"LOCALAPPDATA"})
        shared.push_back(platform::GetEnvironmentString(name));
    for (auto& place : shared) {
        if (place.empty()) continue;
        if (place.back() != L'\\') place += L'\\';
        const std::wstring upper = UpperCase(place);
        // The place itself, or a folder above it such as the profiles folder.
        if (upper.size() >= wanted.size() && upper.compare(0, wanted.size(), wanted) == 0) return true;
    }
    return false;
}

}  // namespace

std::wstring InstallerPackedCode(const TSoftInfo& entry) {
    const std::wstring name = KeyName(entry.KeyPath);
    if (name.size() != 38 || name.front() != L'{' || name.back() != L'}') return {};
    for (std::size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? name[i] != L'-' : !std::iswxdigit(name[i])) return {};
    }
    return PackedProductCode(name);
}

std::wstring CompletedInstallFolder(const TSoftInfo& entry, const TRefusedFolders& refused, TFileFacts& facts,
                                    TInstallerRecords& records) {
    std::wstring folder = InstallFolderFromEntry(entry, refused, facts);
    if (folder.empty()) folder = records.ProductFolder(InstallerPackedCode(entry), refused);
    return folder;
}

std::wstring CompletedInstallFolder(const TSoftInfo& entry) {
    TFileFacts facts;
    TInstallerRecords records;
    return CompletedInstallFolder(entry, TRefusedFolders::Read(), facts, records);
}

std::wstring DeepestCommonFolder(const std::vector<std::wstring>& paths) {
    std::vector<std::wstring> common;
    bool first = true;
    for (const auto& path : paths) {
        const auto slash = path.find_last_of(L'\\');
        if (slash == std::wstring::npos) continue;
        auto parts = Components(path.substr(0, slash));
        if (first) {
            common = std::move(parts);
            first = false;
            continue;
        }
        std::size_t same = 0;
        while (same < common.size() && same < parts.size() && EqualsIgnoreCase(common[same], parts[same])) ++same;
        common.resize(same);
    }
    std::wstring folder;
    for (const auto& part : common) folder += part + L"\\";
    return folder;
}

void TInstallerRecords::ReadComponents() {
    read_ = true;
    platform::RegistryKey userData;
    if (userData.Open(HKEY_LOCAL_MACHINE, kUserData, KEY_READ, NativeView()) != ERROR_SUCCESS) return;
    for (const auto& user : userData.SubKeyNames()) {
        platform::RegistryKey components;
        if (components.Open(userData.get(), user + L"\\Components", KEY_READ, NativeView()) != ERROR_SUCCESS) continue;
        for (const auto& component : components.SubKeyNames()) {
            platform::RegistryKey key;
            if (key.Open(components.get(), component, KEY_READ, NativeView()) != ERROR_SUCCESS) continue;
            for (const auto& product : key.ValueNames()) {
                if (product.empty()) continue;
                const std::wstring path = Trim(key.QueryString(product).value_or(std::wstring()));
                if (!path.empty() && !IsRegistryPath(path)) paths_[UpperCase(product)].push_back(path);
            }
        }
    }
}

std::wstring TInstallerRecords::ProductFolder(const std::wstring& packed, const TRefusedFolders& refused) {
    if (packed.empty()) return {};
    if (!read_) ReadComponents();
    const auto found = paths_.find(UpperCase(packed));
    if (found == paths_.end()) return {};
    std::wstring folder = DeepestCommonFolder(found->second);
    // Only a folder of the product's own: never a drive, a system folder or a shared one.
    if (folder.size() <= 3 || !refused.IsRemovable(folder) || IsSharedPlace(folder)) return {};
    folder.pop_back();
    return folder;
}

std::wstring TInstallerRecords::ProductIcon(const std::wstring& packed, int& iconIndex) {
    if (packed.empty()) return {};
    const struct {
        HKEY root;
        const wchar_t* base;
    } places[] = {{HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Installer\\Products\\"},
                  {HKEY_CURRENT_USER, L"Software\\Microsoft\\Installer\\Products\\"}};
    for (const auto& place : places) {
        platform::RegistryKey key;
        if (key.Open(place.root, place.base + packed, KEY_QUERY_VALUE, NativeView()) != ERROR_SUCCESS) continue;
        std::wstring icon = Trim(key.QueryString(L"ProductIcon").value_or(std::wstring()));
        if (icon.empty()) continue;
        iconIndex = 0;
        // "file,index", as DisplayIcon writes it.
        if (const auto comma = icon.find_last_of(L','); comma != std::wstring::npos && comma + 1 < icon.size()) {
            const std::wstring index = Trim(icon.substr(comma + 1));
            if (!index.empty() && (std::iswdigit(index[0]) || index[0] == L'-')) {
                iconIndex = static_cast<int>(std::wcstol(index.c_str(), nullptr, 10));
                icon = Trim(icon.substr(0, comma));
            }
        }
        if (icon.size() >= 2 && icon.front() == L'"' && icon.back() == L'"') icon = icon.substr(1, icon.size() - 2);
        return icon;
    }
    return {};
}

}  // namespace tarvo::inventory
