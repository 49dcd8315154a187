// Installer records, services and the other registry locations a program writes to.
// Families that have not landed yet find nothing.
#include "leftovers/rule_families.h"

#include "inventory/command_text.h"
#include "inventory/registry_access.h"
#include "inventory/text_util.h"

namespace tarvo::leftovers {

namespace {

// Windows Installer's records of the product (features, products, upgrade codes, user data).
void InstallerRecordsRule(TRegeditScanClasses&, const std::wstring& /*packedProductCode*/) {}

std::wstring LastComponent(const std::wstring& keyPath) {
    const auto slash = keyPath.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : keyPath.substr(slash + 1);
}

}  // namespace

void UninstallKeyRules(TRegeditScanClasses& scan) {
    const std::wstring rootName = inventory::UpperCase(scan.EntryRootName);
    const HKEY root = rootName == L"HKEY_CLASSES_ROOT"   ? HKEY_CLASSES_ROOT
                      : rootName == L"HKEY_CURRENT_USER" ? HKEY_CURRENT_USER
                                                         : HKEY_LOCAL_MACHINE;
    const std::wstring productKey = LastComponent(scan.EntryKeyPath);
    TScanKey key;
    if (productKey.empty() || !scan.OpenKey(key, root, scan.EntryKeyPath)) return;
    const bool hasComments = key.Key.HasValue(L"Comments");
    scan.ReportKey(scan.Sets.Own(L"UninstallKey"), root, productKey, scan.EntryKeyPath);
    const std::wstring packed = inventory::PackedProductCode(productKey);
    if (hasComments && !packed.empty()) InstallerRecordsRule(scan, packed);
}

void ServicesRule(TRegeditScanClasses&) {}
void FirewallRule(TRegeditScanClasses&) {}
void RunKeyRule(TRegeditScanClasses&, HKEY) {}
void AppPathsRule(TRegeditScanClasses&) {}
void VendorKeyWalk(TRegeditScanClasses&, HKEY) {}
void ControlPanelRule(TRegeditScanClasses&) {}
void ClientsRule(TRegeditScanClasses&) {}
void EventLogRule(TRegeditScanClasses&) {}
void DisplayNameCacheRule(TRegeditScanClasses&) {}

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
            (void)scan.AddKeyFinding(inventory::RootFromName(rootName), item.substr(after));
            break;
        }
    }
    const std::wstring lower = inventory::LowerCase(reg);
    const std::wstring vendorMark = L"\\software\\tarvo\\";
    const auto mark = lower.find(vendorMark);
    if (mark == std::wstring::npos) return;
    std::wstring product = lower.substr(mark + vendorMark.size());
    product = product.substr(0, product.find_first_of(L",\\"));
    TScanKey vendor;
    if (!scan.OpenKey(vendor, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tarvo")) return;
    const auto subkeys = vendor.Key.SubKeyNames();
    // The vendor key goes with our last product.
    if (subkeys.size() == 1 && inventory::LowerCase(subkeys[0]) == product)
        (void)scan.AddKeyFinding(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tarvo");
}

}  // namespace tarvo::leftovers
