// The program's own settings key, "Software\<Publisher>\<Program>": reported whole, since its
// values hold settings rather than the install folder the other rules look for.
#include <algorithm>

#include "platform/registry.h"
#include "common/text.h"
#include "leftovers/program_names.h"
#include "leftovers/rule_families.h"
#include "settings/system_info.h"

namespace tarvo::leftovers {

namespace {

using common::EqualsIgnoreCase;

bool AnyEqual(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::any_of(names.begin(), names.end(), [&](const std::wstring& n) { return EqualsIgnoreCase(n, name); });
}

// Another program of the same publisher that a key of this name could belong to just as well
// ("Foo" and "Foo 2" both trimmed to "Foo"): then the key is nobody's to take.
bool ClaimedByOther(const TRegeditScanClasses& scan, const std::wstring& keyName) {
    const auto* catalogue = scan.Catalogue();
    if (!catalogue) return false;
    const std::wstring ownName = common::Trim(scan.Entry.DisplayName);
    const std::wstring ownPublisher = PublisherWithoutCompanyForm(scan.Entry.Publisher);
    for (const auto& place : *catalogue) {
        if (EqualsIgnoreCase(common::Trim(place.name), ownName)) continue;  // the program itself, or its twin
        if (!EqualsIgnoreCase(PublisherWithoutCompanyForm(place.publisher), ownPublisher)) continue;
        if (AnyEqual(ProgramKeyNames(place.name), keyName)) return true;
    }
    return false;
}

void ReportSettingsKeys(TRegeditScanClasses& scan, HKEY root, TRuleSet& set) {
    const auto publishers = PublisherKeyNames(scan.Entry.Publisher);
    const auto names = ProgramKeyNames(scan.Entry.DisplayName);
    // One name per key: its view, root and path.
    const std::wstring view = (platform::Is64(scan.View()) ? L"64|" : L"32|") +
                              platform::RootName(root) + L"\\";
    for (const auto& publisher : publishers) {
        if (IsSkippedVendorKey(publisher)) continue;
        TScanKey vendor;
        if (!scan.OpenKey(vendor, root, L"Software\\" + publisher)) continue;
        for (const auto& program : vendor.Key.SubKeyNames()) {
            scan.Pump();
            if (!AnyEqual(names, program) || ClaimedByOther(scan, program)) continue;
            const std::wstring path = vendor.Path + L"\\" + program;
            scan.ReportKey(set, root, view + common::LowerCase(path), path);
        }
    }
}

}  // namespace

void SettingsKeyRule(TRegeditScanClasses& scan) {
    if (common::Trim(scan.Entry.Publisher).empty() || common::Trim(scan.Entry.DisplayName).empty()) return;
    TRuleSet& set = scan.Sets.Own(L"SettingsKeys");
    const auto saved = scan.ViewOverride();
    ReportSettingsKeys(scan, HKEY_CURRENT_USER, set);
    // The machine's key may stand in either view, whatever the program's own bitness.
    if (settings::IsWow64()) {
        for (const auto view : {platform::RegistryView::Default, platform::RegistryView::Wow64_64Key}) {
            scan.OverrideView(view);
            ReportSettingsKeys(scan, HKEY_LOCAL_MACHINE, set);
        }
        scan.OverrideView(saved);
    } else {
        ReportSettingsKeys(scan, HKEY_LOCAL_MACHINE, set);
    }
}

}  // namespace tarvo::leftovers
