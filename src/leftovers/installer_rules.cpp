// The program's own uninstall key and the records Windows Installer keeps of it: features,
// product, upgrade codes, per-user data with its components, and the installer's folder list.
#include <algorithm>
#include <cwctype>

#include "common/paths.h"
#include "inventory/command_text.h"
#include "common/text.h"
#include "leftovers/rule_families.h"
#include "leftovers/system_rule_steps.h"
#include "leftovers/value_text.h"
#include "settings/system_info.h"

namespace tarvo::leftovers {

namespace {

using common::EqualsIgnoreCase;
using common::LowerCase;

std::wstring LastComponent(const std::wstring& keyPath) {
    return common::NamePart(keyPath, common::LoneName::IsNothing);
}

HKEY UninstallRoot(const std::wstring& rootName) {
    const std::wstring name = common::UpperCase(rootName);
    if (name == L"HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
    if (name == L"HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    return HKEY_LOCAL_MACHINE;
}

// Windows Installer is a native service: on 64-bit Windows its records live in the 64-bit
// view whatever the product's bitness, and a 32-bit view never sees the per-user data.
class InstallerView {
public:
    explicit InstallerView(TRegeditScanClasses& scan) : scan_(scan), saved_(scan.ViewOverride()) {
        if (settings::IsWow64()) scan_.OverrideView(platform::RegistryView::Wow64_64Key);
    }
    ~InstallerView() { scan_.OverrideView(saved_); }
    InstallerView(const InstallerView&) = delete;
    InstallerView& operator=(const InstallerView&) = delete;

private:
    TRegeditScanClasses& scan_;
    std::optional<platform::RegistryView> saved_;
};

// Upgrade-code and component keys list every product that shares them, by packed code (a
// permanent component carries the all-zero code). The key goes with the last product only;
// while others remain, just this product's value is offered, and nothing when it has none.
void ReportProductEntry(TRegeditScanClasses& scan, TRuleSet& set, HKEY root, const std::wstring& path,
                        const std::wstring& packed) {
    TScanKey key;
    if (!scan.OpenKey(key, root, path)) return;
    bool ours = false, others = false;
    for (const auto& name : key.Key.ValueNames()) {
        if (name.empty()) continue;
        (EqualsIgnoreCase(name, packed) ? ours : others) = true;
    }
    if (!others) {
        scan.ReportKey(set, root, path, path);
    } else if (ours) {
        const std::wstring name = path + L"|" + packed;
        if (set.Contains(name)) return;
        set.Add(name);
        scan.ReportValue(key, packed, nullptr);
    }
}

// The key path a component names is a file or a folder. A reserved folder, or a file lying
// directly in one (a system library), belongs to the system's shared files; a folder of its
// own inside a reserved folder ("C:\\Program Files\\Foo\\") is the product's.
bool PointsIntoReservedFolder(const TRegeditScanClasses& scan, const std::wstring& path, bool isFolder) {
    std::wstring form = FolderForm(path);
    if (form.empty()) return false;
    if (scan.Reserved().IsReservedFolder(form)) return true;
    if (isFolder) return false;
    form.pop_back();
    const auto slash = form.find_last_of(L'\\');
    return slash != std::wstring::npos && scan.Reserved().IsReservedFolder(form.substr(0, slash + 1));
}

// A component key names every product that installed it; one named by others is shared.
bool SharedWithOtherProducts(const TScanKey& key, const std::wstring& packed) {
    const auto names = key.Key.ValueNames();
    return std::any_of(names.begin(), names.end(),
                       [&](const std::wstring& name) { return !name.empty() && !EqualsIgnoreCase(name, packed); });
}

void AddOnce(std::vector<std::wstring>& list, const std::wstring& item) {
    if (std::find(list.begin(), list.end(), item) == list.end()) list.push_back(item);
}

bool IsHex(wchar_t c) { return std::iswxdigit(c) != 0; }

}  // namespace

std::wstring PackedCodeOfKeyName(const std::wstring& keyName) {
    // Only a braced product code names an installer product; any other 38-character name
    // would pack into a code that merely happens to exist.
    if (keyName.size() != 38 || keyName.front() != L'{' || keyName.back() != L'}') return {};
    for (std::size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? keyName[i] != L'-' : !IsHex(keyName[i])) return {};
    }
    return inventory::PackedProductCode(keyName);
}

void UninstallKeyRules(TRegeditScanClasses& scan) {
    const HKEY root = UninstallRoot(scan.EntryRootName);
    const std::wstring productKey = LastComponent(scan.EntryKeyPath);
    TScanKey key;
    if (productKey.empty() || !scan.OpenKey(key, root, scan.EntryKeyPath)) return;
    const bool hasComments = key.Key.HasValue(L"Comments");
    scan.ReportEntryKey(scan.Sets.Own(L"UninstallKey"), root, productKey, scan.EntryKeyPath);
    const std::wstring packed = PackedCodeOfKeyName(productKey);
    if (!hasComments || packed.empty()) return;
    InstallerView native(scan);
    MsiUserDataRule(scan, packed);
    InstallerRule(scan, HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\Classes\\Installer\\", packed);
    InstallerRule(scan, HKEY_CURRENT_USER, L"\\Software\\Microsoft\\Installer\\", packed);
}

void InstallerRule(TRegeditScanClasses& scan, HKEY root, const std::wstring& base, const std::wstring& packed) {
    if (packed.empty()) return;
    const bool machine = root == HKEY_LOCAL_MACHINE;
    // Below the machine's classes the same records show under the classes root as well.
    const std::wstring classesBase = L"\\SOFTWARE\\Classes\\";
    const bool hasCounterpart = machine && base.size() > classesBase.size() &&
                                EqualsIgnoreCase(base.substr(0, classesBase.size()), classesBase);
    const std::wstring counterpartBase = hasCounterpart ? base.substr(classesBase.size()) : std::wstring();
    TRuleSet& set = scan.Sets.Own(L"InstallerRecords");
    TRuleSet& rootSet = scan.Sets.Own(L"InstallerRecordsRoot");

    for (const wchar_t* kind : {L"Features\\", L"Products\\"}) {
        const std::wstring path = base + kind + packed;
        scan.ReportKey(set, root, path, path);
        if (hasCounterpart) scan.ReportKey(rootSet, HKEY_CLASSES_ROOT, counterpartBase + kind + packed,
                                           counterpartBase + kind + packed);
    }
    TScanKey codes;
    if (!scan.OpenKey(codes, root, base + L"UpgradeCodes")) return;
    for (const auto& code : codes.Key.SubKeyNames()) {
        scan.Pump();
        TScanKey upgrade;
        if (!OpenChild(scan, codes, code, upgrade) || !upgrade.Key.HasValue(packed)) continue;
        ReportProductEntry(scan, set, root, upgrade.Path, packed);
        if (hasCounterpart)
            ReportProductEntry(scan, rootSet, HKEY_CLASSES_ROOT, counterpartBase + L"UpgradeCodes\\" + code, packed);
    }
}

void MsiUserDataRule(TRegeditScanClasses& scan, const std::wstring& packed) {
    if (packed.empty()) return;
    const std::wstring installer = kInstallerDataKey;
    TRuleSet& set = scan.Sets.Own(L"MsiUserData");

    TScanKey folders;
    const bool hasFolders = scan.OpenKey(folders, HKEY_LOCAL_MACHINE, installer + L"\\Folders");
    const std::vector<std::wstring> folderNames = hasFolders ? folders.Key.ValueNames() : std::vector<std::wstring>();
    std::vector<std::wstring> watch;
    if (hasFolders && !scan.FolderKey.empty()) watch.push_back(scan.FolderKey);

    TScanKey codes;
    if (scan.OpenKey(codes, HKEY_LOCAL_MACHINE, installer + L"\\UpgradeCodes")) {
        for (const auto& code : codes.Key.SubKeyNames()) {
            scan.Pump();
            TScanKey upgrade;
            if (OpenChild(scan, codes, code, upgrade) && upgrade.Key.HasValue(packed))
                ReportProductEntry(scan, set, HKEY_LOCAL_MACHINE, upgrade.Path, packed);
        }
    }

    TScanKey userData;
    if (scan.OpenKey(userData, HKEY_LOCAL_MACHINE, installer + L"\\UserData")) {
        std::vector<std::wstring> holders, others;
        for (const auto& user : userData.Key.SubKeyNames()) {
            TScanKey product;
            (OpenChild(scan, userData, user + L"\\Products\\" + packed, product) ? holders : others).push_back(user);
        }
        std::vector<std::wstring> remembered;
        for (const auto& user : holders) {
            const std::wstring productPath = userData.Path + L"\\" + user + L"\\Products\\" + packed;
            scan.ReportKey(set, HKEY_LOCAL_MACHINE, productPath, productPath);
            TScanKey components;
            if (!OpenChild(scan, userData, user + L"\\Components", components)) continue;
            for (const auto& component : components.Key.SubKeyNames()) {
                scan.Pump();
                TScanKey key;
                if (!OpenChild(scan, components, component, key)) continue;
                const auto value = key.Key.QueryValue(packed);
                if (!value) continue;
                AddOnce(remembered, component);
                const std::wstring path = ValueText(value->type, value->data.data(), value->data.size());
                const DWORD attributes = scan.AttributesOf(path);
                const bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
                if (PointsIntoReservedFolder(scan, path, isFolder || (!path.empty() && path.back() == L'\\'))) continue;
                // A folder another product installed too stays with it.
                if (isFolder && !SharedWithOtherProducts(key, packed) && !DeriveFolderKey(path, scan.Reserved()).empty()) {
                    AddOnce(scan.MsiComponentFolders, FolderForm(path));
                    if (hasFolders) AddOnce(watch, FolderForm(path));
                }
                ReportProductEntry(scan, set, HKEY_LOCAL_MACHINE, key.Path, packed);
            }
        }
        for (const auto& user : others) {
            for (const auto& component : remembered) {
                scan.Pump();
                TScanKey key;
                if (OpenChild(scan, userData, user + L"\\Components\\" + component, key))
                    ReportProductEntry(scan, set, HKEY_LOCAL_MACHINE, key.Path, packed);
            }
        }
    }

    if (!hasFolders) return;
    std::vector<bool> reported(folderNames.size(), false);
    for (std::size_t i = 0; i < folderNames.size(); ++i) {
        const std::wstring lower = LowerCase(folderNames[i]);
        for (const auto& needle : watch) {
            if (reported[i] || lower.find(needle) == std::wstring::npos) continue;
            scan.ReportValue(folders, folderNames[i], nullptr);
            reported[i] = true;
        }
    }
}

}  // namespace tarvo::leftovers
