// Services with their device keys, the value rules (firewall, Run, App Paths, control panel,
// event log, clients, display-name cache) and the vendor-key walk, against fixtures in the
// real registry beside Wine's own content, which none of them may report.
#include <gtest/gtest.h>

#include <algorithm>

#include "leftovers/value_text.h"
#include "platform/registry.h"
#include "common/text.h"
#include "leftovers/program_names.h"
#include "leftovers/rule_families.h"
#include "leftovers/scan_driver.h"
#include "leftovers/system_rule_steps.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

using namespace tarvo::leftovers;
using tarvo::inventory::TSoftInfo;
using tarvo::platform::RegistryKey;
using tarvo::platform::RegistryView;
using tarvo::test::ScratchFolder;
using tarvo::test::ScratchKey;

namespace {

std::vector<std::wstring> Texts(const TRegeditScanClasses& scan) {
    std::vector<std::wstring> texts;
    for (const auto& r : scan.RegResults)
        texts.push_back(tarvo::leftovers::RegistryItemText(r.RootKey, r.KeyPath, r.ValueName, r.ValueData));
    return texts;
}

bool Has(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// A value of its own in a key every program shares; the key is made when missing.
class ScratchValue {
public:
    ScratchValue(HKEY root, std::wstring path, const std::wstring& data, std::wstring name = {})
        : root_(root), path_(std::move(path)), name_(name.empty() ? tarvo::test::UniqueName(L"TarvoValue") : name) {
        RegistryKey key;
        EXPECT_EQ(key.Create(root_, path_), ERROR_SUCCESS) << path_;
        EXPECT_EQ(key.SetString(name_, data), ERROR_SUCCESS);
    }
    ~ScratchValue() {
        RegistryKey key;
        if (key.Open(root_, path_, KEY_SET_VALUE) == ERROR_SUCCESS) (void)key.DeleteValue(name_);
    }
    ScratchValue(const ScratchValue&) = delete;
    ScratchValue& operator=(const ScratchValue&) = delete;
    [[nodiscard]] const std::wstring& name() const noexcept { return name_; }

private:
    HKEY root_;
    std::wstring path_, name_;
};

TSoftInfo EntryAt(const std::wstring& folder, const std::wstring& name = L"Rule Probe") {
    TSoftInfo entry;
    entry.DisplayName = name;
    entry.InstallLocation = folder;
    return entry;
}

}  // namespace

TEST(ServicesRule, ServiceFromTheFolderWithItsLegacyDeviceKey) {
    ScratchFolder folder;
    const std::wstring program = folder.MakeFolder(L"Foo");
    ScratchKey device(HKEY_LOCAL_MACHINE, std::wstring(kDeviceEnumKey) + L"\\Root", RegistryView::Default);
    device.SetString(L"0000", L"Service", L"foosvc");
    const std::wstring legacy = device.path().substr(device.path().find_last_of(L'\\') + 1);

    ScratchKey service(HKEY_LOCAL_MACHINE, kServicesKey, RegistryView::Default);
    service.SetString({}, L"ImagePath", program + L"\\foosvc.exe", REG_EXPAND_SZ);
    service.SetDword({}, L"Start", 3);
    service.SetDword(L"Enum", L"Count", 2);
    service.SetString(L"Enum", L"0", L"Root\\" + legacy + L"\\0000");
    service.SetString(L"Enum", L"1", L"Root\\" + legacy);  // would be the whole enumerator
    service.SetString(L"Enum", L"2", L"Root\\Beyond\\0000");  // past Count
    // Found only in a subkey, or with a count that is not a number: never / no devices.
    ScratchKey hosted(HKEY_LOCAL_MACHINE, kServicesKey, RegistryView::Default);
    hosted.SetString({}, L"ImagePath", L"%SystemRoot%\\system32\\svchost.exe -k netsvcs", REG_EXPAND_SZ);
    hosted.SetString(L"Parameters", L"ServiceDll", program + L"\\foo.dll", REG_EXPAND_SZ);
    ScratchKey odd(HKEY_LOCAL_MACHINE, kServicesKey, RegistryView::Default);
    odd.SetString({}, L"ImagePath", program + L"\\odd.exe");
    odd.SetString(L"Enum", L"Count", L"many");
    odd.SetString(L"Enum", L"0", L"Root\\" + legacy + L"\\0000");

    tarvo::leftovers::TIconList images;
    TRegeditScanClasses scan(EntryAt(program), images);
    ServicesRule(scan);
    const auto texts = Texts(scan);
    const std::wstring serviceKey = L"HKEY_LOCAL_MACHINE\\" + service.path();
    const std::wstring oddKey = L"HKEY_LOCAL_MACHINE\\" + odd.path();
    const std::wstring deviceKey = L"HKEY_LOCAL_MACHINE\\" + device.path();
    // Each service with its content (Enum and its four values), the odd one likewise, then
    // the one device key of the first with its instance.
    ASSERT_EQ(texts.size(), 16u);
    for (const auto& text : {serviceKey, serviceKey + L"\\Enum | 2 - Root\\Beyond\\0000",
                             serviceKey + L" | ImagePath - " + program + L"\\foosvc.exe", serviceKey + L" | Start - 3",
                             oddKey + L" | ImagePath - " + program + L"\\odd.exe", oddKey + L"\\Enum | Count - many"})
        EXPECT_TRUE(Has(texts, text)) << text;
    EXPECT_FALSE(Has(texts, L"HKEY_LOCAL_MACHINE\\" + hosted.path()));
    EXPECT_EQ(std::vector<std::wstring>(texts.end() - 3, texts.end()),
              (std::vector<std::wstring>{deviceKey, deviceKey + L"\\0000", deviceKey + L"\\0000 | Service - foosvc"}));

    // Instance paths that leave no more than an enumerator are never reported.
    TRegeditScanClasses direct(EntryAt(program), images);
    DeviceKeysRule(direct, {L"Root", L"Root\\", L"\\Root\\", L"Root\\" + legacy + L"\\0000\\"});
    ASSERT_EQ(direct.RegResults.size(), 3u);
    EXPECT_EQ(Texts(direct)[0], deviceKey);
}

TEST(ValueRules, EachLocationReportsWhatPointsIntoTheFolder) {
    ScratchFolder folder;
    const std::wstring program = folder.MakeFolder(L"Foo");
    const std::wstring exe = program + L"\\foo.exe";
    const std::wstring policy = L"SYSTEM\\CurrentControlSet\\services\\SharedAccess\\Parameters\\FirewallPolicy\\";
    const struct {
        HKEY root;
        std::wstring key;
        std::wstring data;
    } locations[] = {
        {HKEY_LOCAL_MACHINE, policy + L"FirewallRules", L"v2.10|Action=Allow|App=" + exe + L"|"},
        {HKEY_LOCAL_MACHINE, policy + L"RestrictedServices\\Configurable\\System", L"App=" + exe},
        {HKEY_LOCAL_MACHINE, policy + L"RestrictedServices\\Static\\System", L"App=" + exe},
        {HKEY_LOCAL_MACHINE, policy + L"StandardProfile\\AuthorizedApplications\\List", exe + L":*:Enabled:Foo"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"\"" + exe + L"\" /tray"},
        {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"\"" + exe + L"\" /tray"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cpls", program + L"\\foo.cpl"},
    };
    std::vector<std::unique_ptr<ScratchValue>> values, unrelated;
    for (const auto& l : locations) {
        values.push_back(std::make_unique<ScratchValue>(l.root, l.key, l.data));
        unrelated.push_back(std::make_unique<ScratchValue>(l.root, l.key, folder.PathOf(L"Foobar\\foo.exe")));
    }
    // The display-name cache is matched on the value's name, a program path.
    ScratchValue cache(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", L"Foo", exe);
    ScratchValue cacheData(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", exe);

    tarvo::leftovers::TIconList images;
    TRegeditScanClasses scan(EntryAt(program), images);
    FirewallRule(scan);
    RunKeyRule(scan, HKEY_LOCAL_MACHINE);
    RunKeyRule(scan, HKEY_CURRENT_USER);
    ControlPanelRule(scan);
    DisplayNameCacheRule(scan);
    std::vector<std::wstring> expected;
    for (std::size_t i = 0; i < std::size(locations); ++i)
        expected.push_back(tarvo::leftovers::RegistryItemText(locations[i].root, locations[i].key, values[i]->name(),
                                                              locations[i].data));
    expected.push_back(tarvo::leftovers::RegistryItemText(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", exe, L"Foo"));
    EXPECT_EQ(Texts(scan), expected);
}

TEST(ValueRules, KeysWhoseValuesPointIntoTheFolder) {
    ScratchFolder folder;
    const std::wstring program = folder.MakeFolder(L"Foo");
    ScratchKey appPath(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", RegistryView::Default);
    appPath.SetString({}, L"", program + L"\\foo.exe");
    ScratchKey otherApp(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", RegistryView::Default);
    otherApp.SetString({}, L"", folder.PathOf(L"Bar\\bar.exe"));
    ScratchKey source(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\eventlog\\System", RegistryView::Default);
    source.SetString({}, L"EventMessageFile", program + L"\\msgs.dll", REG_EXPAND_SZ);
    // A client found by a value deep below it, and one by a subkey named like the program.
    ScratchKey mail(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\Mail", RegistryView::Default);
    mail.SetString(L"shell\\open\\command", L"", L"\"" + program + L"\\mail.exe\"");
    ScratchKey browser(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\StartMenuInternet", RegistryView::Default);
    (void)browser.Key(L"Capabilities\\RULE PROBE");
    ScratchKey bystander(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\StartMenuInternet", RegistryView::Default);
    bystander.SetString(L"DefaultIcon", L"", folder.PathOf(L"Bar\\bar.exe"));

    tarvo::leftovers::TIconList images;
    TRegeditScanClasses scan(EntryAt(program), images);
    AppPathsRule(scan);
    EventLogRule(scan);
    ClientsRule(scan);
    const auto texts = Texts(scan);
    const std::wstring hklm = L"HKEY_LOCAL_MACHINE\\";
    EXPECT_EQ(texts, (std::vector<std::wstring>{
                         hklm + appPath.path(), hklm + appPath.path() + L" | Default - " + program + L"\\foo.exe",
                         hklm + source.path(), hklm + source.path() + L" | EventMessageFile - " + program + L"\\msgs.dll",
                         hklm + mail.path(), hklm + mail.path() + L"\\shell", hklm + mail.path() + L"\\shell\\open",
                         hklm + mail.path() + L"\\shell\\open\\command",
                         hklm + mail.path() + L"\\shell\\open\\command | Default - \"" + program + L"\\mail.exe\"",
                         hklm + browser.path(), hklm + browser.path() + L"\\Capabilities",
                         hklm + browser.path() + L"\\Capabilities\\RULE PROBE"}));
}

TEST(VendorKeyWalk, ExactNameReportsTheKeyOtherwiseValuesAreWalked) {
    ScratchFolder folder;
    const std::wstring program = folder.MakeFolder(L"Foo");
    ScratchKey vendor(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    const std::wstring name = vendor.path().substr(vendor.path().find_last_of(L'\\') + 1);
    vendor.SetString({}, L"Path", program);  // no trailing backslash: matches all the same
    vendor.SetString({}, L"Unrelated", folder.PathOf(L"Foobar"));
    vendor.SetDword({}, L"Count", 7);
    vendor.SetString(L"Deep\\Deeper", L"Exe", L"\"" + program + L"\\foo.exe\" -x");

    tarvo::leftovers::TIconList images;
    const std::wstring key = L"HKEY_CURRENT_USER\\" + vendor.path();
    {
        TRegeditScanClasses scan(EntryAt(program, name), images);
        VendorKeyWalk(scan, HKEY_CURRENT_USER);
        const auto texts = Texts(scan);
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts[0], key);
        EXPECT_TRUE(Has(texts, key + L" | Count - 7"));  // the whole key, every value in it
        EXPECT_TRUE(Has(texts, key + L"\\Deep\\Deeper"));
    }
    {
        TRegeditScanClasses scan(EntryAt(program, tarvo::common::UpperCase(name)), images);
        VendorKeyWalk(scan, HKEY_CURRENT_USER);
        EXPECT_EQ(Texts(scan), (std::vector<std::wstring>{
                                   key + L" | Path - " + program,
                                   key + L"\\Deep\\Deeper | Exe - \"" + program + L"\\foo.exe\" -x"}));
    }
}

TEST(VendorKeyWalk, Wow6432NodeIsNeverWalked) {
    ScratchFolder folder;
    const std::wstring program = folder.MakeFolder(L"Foo");
    // Written in the 32-bit view: the 64-bit view reaches it only through Wow6432Node.
    ScratchKey redirected(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Default);
    redirected.SetString({}, L"Path", program + L"\\");
    ScratchKey native(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Wow64_64Key);
    native.SetString({}, L"Path", program + L"\\");

    tarvo::leftovers::TIconList images;
    for (const bool view64 : {false, true}) {
        TSoftInfo entry = EntryAt(program);
        entry.View64 = view64;
        TRegeditScanClasses scan(entry, images);
        VendorKeyWalk(scan, HKEY_LOCAL_MACHINE);
        const ScratchKey& seen = view64 ? native : redirected;
        EXPECT_EQ(Texts(scan), std::vector<std::wstring>{L"HKEY_LOCAL_MACHINE\\" + seen.path() + L" | Path - " +
                                                         program + L"\\"})
            << view64;
    }
}

TEST(SettingsKeys, NamesTrimmedAsInstallersWriteThem) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(PublisherKeyNames(L" Acme Software, Inc. "), (V{L"Acme Software, Inc.", L"Acme Software", L"Acme"}));
    EXPECT_EQ(PublisherKeyNames(L"Quillmark"), V{L"Quillmark"});
    EXPECT_EQ(PublisherKeyNames(L"Kestrel Digital GmbH"), (V{L"Kestrel Digital GmbH", L"Kestrel Digital", L"Kestrel"}));
    EXPECT_EQ(ProgramKeyNames(L"Foo Editor 2.1.0 (x64)"), (V{L"Foo Editor 2.1.0 (x64)", L"Foo Editor"}));
    EXPECT_EQ(ProgramKeyNames(L"Foo v3 64-bit"), (V{L"Foo v3 64-bit", L"Foo"}));
    EXPECT_EQ(ProgramKeyNames(L"7-Zip"), V{L"7-Zip"});
    EXPECT_EQ(ProgramKeyNames(L"2048"), V{L"2048"});
}

// The settings key in both roots and the machine's in the other view; a look-alike's key and
// a key a sibling program could own just as well stay.
TEST(SettingsKeys, ProgramKeyOfThePublisherInBothRootsAndViewsUnlessASiblingClaimsIt) {
    const std::wstring word = tarvo::test::UniqueName(L"TarvoPub");
    ScratchFolder scratch;
    TSoftInfo entry = EntryAt(scratch.MakeFolder(L"Probe"), L"Probe Editor 2.0 (x64)");
    entry.Publisher = word + L" Works, Inc.";
    const std::wstring user = L"Software\\" + word + L" Works";
    const std::wstring machine = L"Software\\" + word;
    RegistryKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, user + L"\\Probe Editor\\Recent"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(L"Last", L"D:\\letters\\a.txt"), ERROR_SUCCESS);
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, user + L"\\Probe Editor Pro"), ERROR_SUCCESS);
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, machine + L"\\probe editor", KEY_ALL_ACCESS, RegistryView::Wow64_64Key),
              ERROR_SUCCESS);
    ASSERT_EQ(key.SetDword(L"Licensed", 1), ERROR_SUCCESS);

    tarvo::leftovers::TIconList images;
    TRegeditScanClasses scan(entry, images);
    SettingsKeyRule(scan);
    const auto texts = Texts(scan);
    EXPECT_TRUE(Has(texts, L"HKEY_CURRENT_USER\\" + user + L"\\Probe Editor"));
    EXPECT_TRUE(Has(texts, L"HKEY_CURRENT_USER\\" + user + L"\\Probe Editor\\Recent | Last - D:\\letters\\a.txt"));
    EXPECT_TRUE(Has(texts, L"HKEY_LOCAL_MACHINE\\" + machine + L"\\probe editor | Licensed - 1"));
    for (const auto& r : scan.RegResults) EXPECT_TRUE(r.RootKey != HKEY_LOCAL_MACHINE || r.View64);
    EXPECT_FALSE(Has(texts, L"HKEY_CURRENT_USER\\" + user + L"\\Probe Editor Pro"));

    const std::vector<tarvo::inventory::TProgramPlace> catalogue = {{L"Probe Editor 3.1", {}, word + L" Works Inc"}};
    ScanOptions options;
    options.catalogue = &catalogue;
    TRegeditScanClasses sibling(entry, images, options);
    SettingsKeyRule(sibling);
    EXPECT_TRUE(sibling.RegResults.empty());

    (void)tarvo::platform::DeleteKeyTree(HKEY_CURRENT_USER, user, RegistryView::Default);
    (void)tarvo::platform::DeleteKeyTree(HKEY_LOCAL_MACHINE, machine, RegistryView::Wow64_64Key);
}

// A 32-bit program's start-up entry and App Paths key in the 64-bit view are found there; a
// location that names the main file scans its folder.
TEST(BothViews, TheOtherViewIsSearchedAndALocationNamingAFileMeansItsFolder) {
    ScratchFolder scratch;
    const std::wstring folder = scratch.MakeFolder(L"Probe32");
    const std::wstring exe = scratch.MakeFile(L"Probe32\\probe.exe", "MZ");
    const ScratchValue run64(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", exe);
    RegistryKey native;
    const std::wstring run = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    ASSERT_EQ(native.Create(HKEY_LOCAL_MACHINE, run, KEY_ALL_ACCESS, RegistryView::Wow64_64Key), ERROR_SUCCESS);
    const std::wstring name64 = tarvo::test::UniqueName(L"TarvoValue");
    ASSERT_EQ(native.SetString(name64, L"\"" + exe + L"\" /tray"), ERROR_SUCCESS);

    TSoftInfo entry = EntryAt(exe);
    tarvo::leftovers::TResultTree tree;
    tarvo::leftovers::TIconList images;
    ASSERT_GT(ScanLeftovers(&entry, tree, {}, images), 0);
    int runFindings = 0;
    bool folderFound = false;
    for (const auto& group : tree.Programs.front()->Children)
        for (const auto& item : group->Children) {
            const auto& d = item->Data;
            if (d.ItemKind == FindingKind::Registry && tarvo::common::EqualsIgnoreCase(d.KeyPath, run)) {
                ++runFindings;
                EXPECT_EQ(d.View64, d.ValueName == name64) << d.ValueName;
            }
            folderFound |= d.ItemKind == FindingKind::File && d.FilePath == tarvo::common::LowerCase(folder) + L"\\";
        }
    EXPECT_EQ(runFindings, 2);
    EXPECT_TRUE(folderFound);
    (void)native.DeleteValue(name64);
}
