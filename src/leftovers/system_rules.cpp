// Autostart entries, the vendor area of "\SOFTWARE", control-panel applets, mail and browser
// clients, the shell's display-name cache and our own products' keys; and the small walks
// the value rules share.
#include "leftovers/rule_families.h"

#include <cwchar>

#include "platform/registry.h"
#include "common/text.h"
#include "leftovers/system_rule_steps.h"
#include "leftovers/value_text.h"

namespace tarvo::leftovers {

namespace {

using common::LowerCase;

// Collects the names of the values whose text holds the folder; reading them as text is the
// costly part, so number types, which never hold a path, are passed over.
class FolderValueFinder final : public platform::RegistryValueSweep::Visitor {
public:
    FolderValueFinder(const TRegeditScanClasses& scan, bool stringsOnly, bool appendBackslash, bool byName)
        : scan_(scan), stringsOnly_(stringsOnly), appendBackslash_(appendBackslash), byName_(byName) {}

    void OnValue(std::wstring_view name, DWORD type, const BYTE* data, DWORD size) override {
        if (byName_) {
            if (TextHasFolder(scan_, std::wstring(name), false)) Names.emplace_back(name);
            return;
        }
        if (type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN) return;
        if (stringsOnly_ && type != REG_SZ && type != REG_EXPAND_SZ) return;
        if (TextHasFolder(scan_, ValueText(type, data, size), appendBackslash_)) Names.emplace_back(name);
    }

    std::vector<std::wstring> Names;

private:
    const TRegeditScanClasses& scan_;
    bool stringsOnly_, appendBackslash_, byName_;
};

std::vector<std::wstring> ValuesWithFolder(const TRegeditScanClasses& scan, const TScanKey& key, bool stringsOnly,
                                           bool appendBackslash, bool byName = false) {
    FolderValueFinder finder(scan, stringsOnly, appendBackslash, byName);
    platform::RegistryValueSweep sweep;
    (void)sweep.Sweep(key.Key.get(), finder);
    return std::move(finder.Names);
}

// Depth first, a key's values before its subkeys, each value matched with the backslash
// appended.
void WalkVendorValues(TRegeditScanClasses& scan, const TScanKey& key) {
    for (const auto& name : ValuesWithFolder(scan, key, false, true)) scan.ReportValue(key, name, nullptr);
    std::wstring name;
    for (DWORD i = 0; key.Key.EnumKey(i, name) == ERROR_SUCCESS; ++i) {
        scan.Pump();
        TScanKey child;
        if (OpenChild(scan, key, name, child)) WalkVendorValues(scan, child);
    }
}

// A client belongs to the program when a value points into its folder or a subkey, at any
// depth, is named like it.
bool ClientTest(const TRegeditScanClasses& scan, const TScanKey& key) {
    if (!ValuesWithFolder(scan, key, false, true).empty()) return true;
    const auto subkeys = key.Key.SubKeyNames();
    const std::wstring& program = scan.Entry.DisplayName;
    for (const auto& name : subkeys)
        if (!program.empty() && common::EqualsIgnoreCase(name, program)) return true;
    for (const auto& name : subkeys) {
        TScanKey child;
        if (OpenChild(scan, key, name, child) && ClientTest(scan, child)) return true;
    }
    return false;
}

}  // namespace

bool TextHasFolder(const TRegeditScanClasses& scan, const std::wstring& text, bool appendBackslash) {
    if (scan.FolderKey.empty() || text.size() + 1 < scan.FolderKey.size()) return false;
    if (!appendBackslash || (!text.empty() && text.back() == L'\\'))
        return platform::LowerCaseContains(text, scan.FolderKey);
    thread_local std::wstring withBackslash;
    withBackslash.assign(text).push_back(L'\\');
    return platform::LowerCaseContains(withBackslash, scan.FolderKey);
}

bool AnyValueHasFolder(const TRegeditScanClasses& scan, const TScanKey& key, bool stringsOnly, bool appendBackslash) {
    return !ValuesWithFolder(scan, key, stringsOnly, appendBackslash).empty();
}

void ReportValuesWithFolder(TRegeditScanClasses& scan, HKEY root, const std::wstring& keyPath) {
    TScanKey key;
    if (!scan.OpenKey(key, root, keyPath)) return;
    for (const auto& name : ValuesWithFolder(scan, key, false, false)) scan.ReportValue(key, name, nullptr);
}

bool OpenChild(const TRegeditScanClasses& scan, const TScanKey& parent, const std::wstring& name, TScanKey& child) {
    if (child.Key.Open(parent.Key.get(), name, KEY_READ, scan.View()) != ERROR_SUCCESS) return false;
    child.Root = parent.Root;
    child.Path = parent.Path + L"\\" + name;
    return true;
}

void RunKeyRule(TRegeditScanClasses& scan, HKEY root) {
    const std::wstring software = root == HKEY_CURRENT_USER ? L"Software" : L"SOFTWARE";
    ReportValuesWithFolder(scan, root, software + L"\\Microsoft\\Windows\\CurrentVersion\\Run");
}

void VendorKeyWalk(TRegeditScanClasses& scan, HKEY root) {
    TScanKey software;
    if (!scan.OpenKey(software, root, root == HKEY_CURRENT_USER ? L"Software" : L"SOFTWARE")) return;
    TRuleSet& set = scan.Sets.Own(root == HKEY_CURRENT_USER ? L"VendorKeysUser" : L"VendorKeys");
    for (const auto& vendor : software.Key.SubKeyNames()) {
        scan.Pump();
        if (IsSkippedVendorKey(vendor)) continue;
        // A key named exactly like the program is the program's own; any other is searched.
        if (!scan.Entry.DisplayName.empty() && vendor == scan.Entry.DisplayName) {
            scan.ReportKey(set, root, vendor, software.Path + L"\\" + vendor);
            continue;
        }
        TScanKey key;
        if (OpenChild(scan, software, vendor, key)) WalkVendorValues(scan, key);
    }
}

void ControlPanelRule(TRegeditScanClasses& scan) {
    ReportValuesWithFolder(scan, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cpls");
}

void ClientsRule(TRegeditScanClasses& scan) {
    TScanKey clients;
    if (!scan.OpenKey(clients, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients")) return;
    TRuleSet& set = scan.Sets.Own(L"Clients");
    for (const auto& type : clients.Key.SubKeyNames()) {
        TScanKey typeKey;
        if (!OpenChild(scan, clients, type, typeKey)) continue;
        for (const auto& client : typeKey.Key.SubKeyNames()) {
            scan.Pump();
            TScanKey clientKey;
            if (OpenChild(scan, typeKey, client, clientKey) && ClientTest(scan, clientKey))
                scan.ReportKey(set, HKEY_LOCAL_MACHINE, type + L"\\" + client, clientKey.Path);
        }
    }
}

void DisplayNameCacheRule(TRegeditScanClasses& scan) {
    TScanKey cache;
    if (!scan.OpenKey(cache, HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache")) return;
    for (const auto& name : ValuesWithFolder(scan, cache, false, false, true)) scan.ReportValue(cache, name, nullptr);
}

void MakerKeysRule(TRegeditScanClasses& scan) {
    std::wstring row;
    if (!scan.Makers().FindMakerRow(MakerKeyOf(scan.Entry), row, [&] { scan.Pump(); })) return;
    const std::wstring reg = scan.Makers().MakerRowField(row, L"reg", {});
    if (reg.empty()) return;
    static const wchar_t* const kRootOrder[] = {L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER", L"HKEY_LOCAL_MACHINE",
                                                L"HKEY_USERS", L"HKEY_CURRENT_CONFIG"};
    for (const auto& item : SplitItems(reg)) {
        for (const wchar_t* rootName : kRootOrder) {
            const auto at = item.find(rootName);
            if (at == std::wstring::npos) continue;
            const std::size_t after = at + wcslen(rootName);
            // Listed keys are offered whether they exist or not; the primitive still refuses
            // a root or a shared container, whatever the row says.
            (void)scan.AddKeyFinding(platform::RootFromName(rootName), item.substr(after));
            break;
        }
    }
    const std::wstring lower = common::LowerCase(reg);
    const std::wstring vendorMark = L"\\software\\tarvo\\";
    const auto mark = lower.find(vendorMark);
    if (mark == std::wstring::npos) return;
    std::wstring product = lower.substr(mark + vendorMark.size());
    product = product.substr(0, product.find_first_of(L",\\"));
    TScanKey vendor;
    if (!scan.OpenKey(vendor, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tarvo")) return;
    const auto subkeys = vendor.Key.SubKeyNames();
    // The vendor key goes with our last product.
    if (subkeys.size() == 1 && common::LowerCase(subkeys[0]) == product)
        (void)scan.AddKeyFinding(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tarvo");
}

}  // namespace tarvo::leftovers
