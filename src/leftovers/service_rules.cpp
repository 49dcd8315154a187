// Services that run from the program's folder with their legacy device keys, firewall
// exceptions, and event-log sources.
#include <map>

#include "common/text.h"
#include "leftovers/rule_families.h"
#include "leftovers/system_rule_steps.h"
#include "leftovers/value_text.h"
#include "platform/registry.h"

namespace tarvo::leftovers {

namespace {

// "Count" as a number; nullopt when it is not one.
std::optional<long long> ParseCount(const std::wstring& text) {
    const std::wstring trimmed = common::Trim(text);
    if (trimmed.empty() || trimmed.size() > 10) return std::nullopt;
    long long value = 0;
    std::size_t i = 0;
    const bool negative = trimmed[0] == L'-';
    if (negative || trimmed[0] == L'+') ++i;
    if (i == trimmed.size()) return std::nullopt;
    for (; i < trimmed.size(); ++i) {
        if (trimmed[i] < L'0' || trimmed[i] > L'9') return std::nullopt;
        value = value * 10 + (trimmed[i] - L'0');
    }
    return negative ? -value : value;
}

// "0", "1", … "12": a decimal index without sign or leading zero.
bool IsIndexName(std::wstring_view name) {
    if (name.empty() || name.size() > 9 || (name.size() > 1 && name[0] == L'0')) return false;
    for (const wchar_t c : name)
        if (c < L'0' || c > L'9') return false;
    return true;
}

// The instance paths a service's Enum key lists in its values "0" … Count-1. Read in one
// sweep, so a Count of four billion costs no more than the values there are.
class EnumListing final : public platform::RegistryValueSweep::Visitor {
public:
    void OnValue(std::wstring_view name, DWORD type, const BYTE* data, DWORD size) override {
        const std::wstring text = ValueText(type, data, size);
        if (common::EqualsIgnoreCase(name, L"Count")) {
            count = ParseCount(text);
            return;
        }
        if (!IsIndexName(name)) return;
        if (!text.empty()) instances[std::stoll(std::wstring(name))] = text;
    }
    std::optional<long long> count;
    std::map<long long, std::wstring> instances;
};

void CollectDeviceInstances(const TRegeditScanClasses& scan, const TScanKey& service, std::vector<std::wstring>& out) {
    TScanKey enumKey;
    if (!OpenChild(scan, service, L"Enum", enumKey)) return;
    EnumListing listing;
    platform::RegistryValueSweep sweep;
    (void)sweep.Sweep(enumKey.Key.get(), listing);
    if (!listing.count || *listing.count <= 0) return;
    for (const auto& [index, text] : listing.instances)
        if (index < *listing.count) out.push_back(text);
}

std::vector<std::wstring> Components(const std::wstring& path) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        const auto end = path.find(L'\\', start);
        std::wstring part = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!part.empty()) parts.push_back(std::move(part));
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
    return parts;
}

// Reports each subkey of root\keyPath that has a value holding the folder.
void ReportSubkeysWithFolder(TRegeditScanClasses& scan, TRuleSet& set, const std::wstring& namePrefix, HKEY root,
                             const std::wstring& keyPath) {
    TScanKey parent;
    if (!scan.OpenKey(parent, root, keyPath)) return;
    for (const auto& name : parent.Key.SubKeyNames()) {
        scan.Pump();
        TScanKey child;
        if (OpenChild(scan, parent, name, child) && AnyValueHasFolder(scan, child, false, false))
            scan.ReportKey(set, root, namePrefix + name, child.Path);
    }
}

}  // namespace

void ServicesRule(TRegeditScanClasses& scan) {
    TScanKey services;
    if (!scan.OpenKey(services, HKEY_LOCAL_MACHINE, kServicesKey)) return;
    std::vector<std::wstring> devices;
    TRuleSet& set = scan.Sets.Own(L"Services");
    for (const auto& name : services.Key.SubKeyNames()) {
        scan.Pump();
        TScanKey service;
        // Only the service's own values: what its subkeys hold is its business.
        if (!OpenChild(scan, services, name, service) || !AnyValueHasFolder(scan, service, true, false)) continue;
        scan.ReportKey(set, HKEY_LOCAL_MACHINE, name, service.Path);
        CollectDeviceInstances(scan, service, devices);
    }
    DeviceKeysRule(scan, devices);
}

void DeviceKeysRule(TRegeditScanClasses& scan, const std::vector<std::wstring>& deviceInstances) {
    TRuleSet& set = scan.Sets.Own(L"DeviceKeys");
    for (const auto& instance : deviceInstances) {
        auto parts = Components(instance);
        if (parts.size() > 1) parts.pop_back();
        // An enumerator alone (Root, PCI …) holds every device of its kind.
        if (parts.size() < 2) continue;
        std::wstring path = kDeviceEnumKey;
        for (const auto& part : parts) path += L"\\" + part;
        scan.ReportKey(set, HKEY_LOCAL_MACHINE, path, path);
    }
}

void FirewallRule(TRegeditScanClasses& scan) {
    static const wchar_t* const kKeys[] = {
        L"SYSTEM\\CurrentControlSet\\services\\SharedAccess\\Parameters\\FirewallPolicy\\FirewallRules",
        L"SYSTEM\\CurrentControlSet\\services\\SharedAccess\\Parameters\\FirewallPolicy\\RestrictedServices\\"
        L"Configurable\\System",
        L"SYSTEM\\CurrentControlSet\\services\\SharedAccess\\Parameters\\FirewallPolicy\\RestrictedServices\\"
        L"Static\\System",
        L"SYSTEM\\CurrentControlSet\\services\\SharedAccess\\Parameters\\FirewallPolicy\\StandardProfile\\"
        L"AuthorizedApplications\\List",
    };
    for (const wchar_t* key : kKeys) ReportValuesWithFolder(scan, HKEY_LOCAL_MACHINE, key);
}

void EventLogRule(TRegeditScanClasses& scan) {
    TRuleSet& set = scan.Sets.Own(L"EventLog");
    for (const wchar_t* log : {L"Application", L"System"})
        ReportSubkeysWithFolder(scan, set, std::wstring(log) + L"\\", HKEY_LOCAL_MACHINE,
                                std::wstring(L"SYSTEM\\CurrentControlSet\\services\\eventlog\\") + log);
}

void AppPathsRule(TRegeditScanClasses& scan) {
    ReportSubkeysWithFolder(scan, scan.Sets.Own(L"AppPaths"), {}, HKEY_LOCAL_MACHINE,
                            L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths");
}

}  // namespace tarvo::leftovers
