#include "leftovers/maker_table.h"

#include <shlobj.h>

#include "common/paths.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/folders.h"

namespace tarvo::leftovers {

namespace {

using common::LowerCase;
using common::Trim;

// Our products as they register themselves. Tarvo Uninstaller's install key names the
// executable, not its folder; CSIDL_LOCAPTION therefore means the folder (see below).
std::vector<TFilterData> BuiltInRows() {
    return {
        {L"tarvo tarvo uninstaller",
         L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ControlPanel\\NameSpace\\"
         L"{8DE189EC-C9C8-4D31-9F18-E0B7407019A9},"
         L"HKEY_CLASSES_ROOT\\CLSID\\{8DE189EC-C9C8-4D31-9F18-E0B7407019A9}",
         L"CSIDL_COMMON_PROGRAMS\\Tarvo Uninstaller,CSIDL_APPDATA\\Tarvo\\Tarvo Uninstaller",
         // The running program and the product's own uninstaller, which may be the process
         // that started this scan.
         L"CSIDL_LOCAPTION\\TarvoUninstaler.exe,CSIDL_LOCAPTION\\RemovalHost.exe"},
    };
}

}  // namespace

std::wstring SystemMakerFolders::CommonPrograms() const { return platform::GetSpecialFolderPath(CSIDL_COMMON_PROGRAMS); }
std::wstring SystemMakerFolders::AppData() const { return platform::GetSpecialFolderPath(CSIDL_APPDATA); }
std::wstring SystemMakerFolders::CommonAppData() const { return platform::GetSpecialFolderPath(CSIDL_COMMON_APPDATA); }

TFileterManage::TFileterManage() : rows_(BuiltInRows()) {}
TFileterManage::TFileterManage(std::vector<TFilterData> rows) : rows_(std::move(rows)) {}

const TFileterManage& TFileterManage::Instance() {
    static const TFileterManage table;
    return table;
}

bool TFileterManage::FindMakerRow(const std::wstring& key, std::wstring& rowName,
                                  const std::function<void()>& pump) const {
    const std::wstring needle = LowerCase(Trim(key));
    for (const auto& row : rows_) {
        if (pump) pump();
        if (!row.Name.empty() && needle.find(row.Name) != std::wstring::npos) {
            rowName = row.Name;
            return true;
        }
    }
    return false;
}

std::wstring TFileterManage::MakerRowField(const std::wstring& rowName, const std::wstring& field,
                                           const std::wstring& fallback) const {
    const std::wstring name = LowerCase(rowName);
    const std::wstring which = LowerCase(field);
    for (const auto& row : rows_) {
        if (row.Name != name) continue;
        if (which == L"reg") return row.Reg;
        if (which == L"path") return row.Path;
        if (which == L"filter") return row.Filter;
        return fallback;
    }
    return fallback;
}

std::wstring MakerKeyOf(const inventory::TSoftInfo& entry) {
    return LowerCase(Trim(entry.Publisher + L" " + entry.DisplayName));
}

std::wstring ExpandItemMacro(const std::wstring& item, const inventory::TSoftInfo& entry) {
    return ExpandItemMacro(item, entry, SystemMakerFolders());
}

std::wstring ExpandItemMacro(const std::wstring& item, const inventory::TSoftInfo& entry,
                             const MakerFolders& folders) {
    const auto slash = item.find(L'\\');
    if (slash == std::wstring::npos) return {};
    const std::wstring macro = item.substr(0, slash);
    std::wstring folder;
    if (macro == L"CSIDL_COMMON_PROGRAMS")
        folder = folders.CommonPrograms();
    else if (macro == L"CSIDL_APPDATA")
        folder = folders.AppData();
    else if (macro == L"CSIDL_COMMON_APPDATA")
        folder = folders.CommonAppData();
    else if (macro == L"CSIDL_LOCAPTION") {
        folder = Trim(entry.InstallLocation);
        // Our own uninstall key stores the executable's path as its location; an item
        // beside it means the folder holding it.
        if (!folder.empty() && platform::FileExists(folder)) {
            folder = common::ParentKey(folder);
        }
        while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    } else
        return {};
    // A folder the system cannot name must not turn the item into a path from the root.
    if (folder.empty()) return {};
    return folder + item.substr(slash);
}

std::vector<std::wstring> SplitItems(const std::wstring& field) {
    std::vector<std::wstring> items;
    std::size_t start = 0;
    while (start <= field.size()) {
        const auto comma = field.find(L',', start);
        const std::wstring item = Trim(field.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start));
        if (!item.empty()) items.push_back(item);
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    return items;
}

}  // namespace tarvo::leftovers
