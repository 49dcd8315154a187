// Internet Explorer's add-ons found in registrations of our own, in both registry views.
#include "addons/ie_browser_cleaner.h"

#include <gtest/gtest.h>

#include "addons_fixture_path.h"
#include "addons_sqlite.h"
#include "common/text.h"
#include "ie_registrations.h"
#include "platform/processes.h"
#include "platform/shell.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/sqlite_database.h"
#include "support/scratch_folder.h"

namespace tarvo::addons {
namespace {

using View = platform::RegistryView;

class IEBrowserCleanerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::LoadTestSqlite(sqlite));
        env.sqlite = &sqlite;
        env.is64 = true;  // the test prefix is 64-bit
        env.appDataFolder = scratch.path();
    }
    static std::wstring Guid() { return platform::NewGuidText(true); }
    const TPluginItem* Find(const TIEBrowserCleaner& cleaner, const std::wstring& itemId, std::uint8_t sysType = 0) {
        for (const auto& item : cleaner.Items())
            if (item->ItemId == itemId && item->SysType == sysType) return item.get();
        return nullptr;
    }
    std::unique_ptr<TIEBrowserCleaner> Scanned() {
        auto cleaner = std::make_unique<TIEBrowserCleaner>(env);
        cleaner->ScanItems();
        return cleaner;
    }

    platform::SqliteLibrary sqlite;
    test::ScratchFolder scratch;
    CleanerEnvironment env;
    test::IERegistrations reg;
};

TEST_F(IEBrowserCleanerTest, ListsEveryKindInBothViewsWithCaptionsPublishersAndPaths) {
    const std::wstring plain = test::AddonFixture(L"VersionFixture.dll"),
                       signed_ = test::AddonFixture(L"SignedFixture.dll");
    const std::wstring toolbar = Guid(), button = Guid(), band = Guid(), menu = Guid(), bho = Guid(), bho64 = Guid(),
                       control = Guid(), unseen = Guid();
    reg.Class(toolbar, L"Tarvo Toolbar", plain, View::Default);
    reg.Toolbar(toolbar, View::Default);
    reg.Class(band, L"Tarvo Band", signed_, View::Default);
    reg.Extension(HKEY_LOCAL_MACHINE, button, {{L"ButtonText", L"Tarvo Button"}, {L"BandCLSID", band}}, View::Default);
    reg.Extension(HKEY_CURRENT_USER, menu, {{L"MenuText", L"Tarvo Menu"}}, View::Default);
    reg.Extension(HKEY_LOCAL_MACHINE, Guid(), {{L"Exec", L"C:\\x.exe"}}, View::Default);  // no caption: not listed
    reg.Class(bho, L"  Tarvo Helper  ", signed_, View::Default);
    reg.Bho(bho, View::Default);
    reg.Class(bho64, L"Tarvo Helper 64", plain, View::Wow64_64Key);
    reg.Bho(bho64, View::Wow64_64Key);
    reg.Class(control, L"Tarvo Control", plain, View::Default);
    reg.DistributionUnit(control, View::Default);
    reg.Seen(control, 1);
    reg.Class(L"Locked", L"Tarvo Locked", plain, View::Default);
    reg.Toolbar(L"Locked", View::Default);  // the toolbars' lock switch, never an add-on
    reg.Class(unseen, L"Tarvo Unseen", plain, View::Default);
    reg.Seen(unseen, 2);

    const auto cleaner = Scanned();
    const std::wstring hklm = L"80000002\\", hkcu = L"80000001\\";
    struct Expected {
        std::wstring itemId;
        std::uint8_t sysType;
        AddonKind kind;
        std::wstring caption, publisher, version;
        std::vector<std::wstring> paths;
    } const expected[] = {
        {toolbar, 0, AddonKind::Toolbar, L"Tarvo Toolbar", L"Tarvo Testhaus GmbH", L"2.1.0.7", {hklm + kIEToolbarKey}},
        {button, 0, AddonKind::Toolbar, L"Tarvo Button", L"Tarvo Test Signer", L"2.1.0.7",
         {hklm + kIEExtensionsKey + L"\\" + button}},
        {menu, 0, AddonKind::Toolbar, L"Tarvo Menu", L"", L"", {hkcu + kIEExtensionsKey + L"\\" + menu}},
        {bho, 0, AddonKind::BrowserHelperObject, L"Tarvo Helper", L"Tarvo Test Signer", L"2.1.0.7",
         {hklm + kIEBhoKey + L"\\" + bho}},
        {bho64, 1, AddonKind::BrowserHelperObject, L"Tarvo Helper 64", L"Tarvo Testhaus GmbH", L"2.1.0.7",
         {hklm + kIEBhoKey + L"\\" + bho64}},
        // Found in both lists, one item; the product version is the one shown for controls.
        {control, 0, AddonKind::ActiveX, L"Tarvo Control", L"Tarvo Testhaus GmbH", L"2.1",
         {hkcu + kIEDistributionUnitsKey + L"\\" + control, hkcu + kIEStatsKey + L"\\" + control}},
    };
    for (const auto& want : expected) {
        SCOPED_TRACE(want.caption);
        const TPluginItem* item = Find(*cleaner, want.itemId, want.sysType);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Browser, BrowserKind::InternetExplorer);
        EXPECT_EQ(item->Collection.AddonKind, want.kind);
        EXPECT_EQ(item->Caption, want.caption);
        EXPECT_EQ(item->Publisher, want.publisher);
        EXPECT_EQ(item->Version, want.version);
        EXPECT_EQ(item->Paths, want.paths);
        EXPECT_NE(item->ExtInfo, nullptr);
    }
    EXPECT_EQ(Find(*cleaner, bho64, 0), nullptr);
    EXPECT_EQ(Find(*cleaner, unseen), nullptr);
    EXPECT_EQ(Find(*cleaner, L"Locked"), nullptr);
    const auto& detail = dynamic_cast<const TIEBrowserCleaner::TIEPluginExtInfo&>(*Find(*cleaner, button)->ExtInfo);
    EXPECT_EQ(detail.Source, TIEBrowserCleaner::Source::MachineExtension);
    EXPECT_EQ(detail.Value(L"buttontext"), L"Tarvo Button");
}

// What a real add-on's own registration writes, through Wine's regsvr32 of each bitness.
class RegisteredAddon {
public:
    RegisteredAddon(const std::wstring& regsvr32, const std::wstring& dll)
        : command_(L"\"" + regsvr32 + L"\" /s \"" + dll + L"\""), registered_(Run(command_)) {}
    ~RegisteredAddon() { (void)Run(command_ + L" /u"); }
    RegisteredAddon(const RegisteredAddon&) = delete;
    RegisteredAddon& operator=(const RegisteredAddon&) = delete;
    [[nodiscard]] bool Registered() const { return registered_; }

private:
    static bool Run(const std::wstring& command) {
        const auto started = platform::CreateProcessOf(command);
        return started && platform::WaitForExitCode(started->process.get(), 60000) == DWORD{0};
    }
    std::wstring command_;
    bool registered_;
};

TEST_F(IEBrowserCleanerTest, SelfRegisteredAddOnsAreListedInEachView) {
    const std::wstring windows = platform::GetEnvironmentString(L"SystemRoot");
    const std::wstring regsvr32x86 = windows + L"\\SysWOW64\\regsvr32.exe";
    if (!platform::FileExists(regsvr32x86)) GTEST_SKIP() << "this system runs no 32-bit programs";
#ifdef _WIN64
    const std::wstring regsvr32x64 = windows + L"\\System32\\regsvr32.exe";
#else
    // A 32-bit process reaches the 64-bit system folder only through its alias.
    const std::wstring regsvr32x64 = windows + L"\\Sysnative\\regsvr32.exe";
#endif
    const RegisteredAddon addon32(regsvr32x86, test::AddonFixture(L"TarvoIEAddon32.dll"));
    const RegisteredAddon addon64(regsvr32x64, test::AddonFixture(L"TarvoIEAddon64.dll"));
    ASSERT_TRUE(addon32.Registered());
    ASSERT_TRUE(addon64.Registered());

    const auto cleaner = Scanned();
    struct Expected {
        std::wstring clsid, caption;
        AddonKind kind;
        std::wstring path;
    } const expected[] = {
        {L"{5E1A7C0B-3D2F-4B8A-9C61-7A0D4E2B9F11}", L"Tarvo Test Helper", AddonKind::BrowserHelperObject,
         L"80000002\\" + std::wstring(kIEBhoKey) + L"\\{5E1A7C0B-3D2F-4B8A-9C61-7A0D4E2B9F11}"},
        {L"{5E1A7C0B-3D2F-4B8A-9C61-7A0D4E2B9F12}", L"Tarvo Test Toolbar", AddonKind::Toolbar,
         L"80000002\\" + std::wstring(kIEToolbarKey)},
    };
    for (const auto& want : expected) {
        for (const std::uint8_t sysType : {std::uint8_t{0}, std::uint8_t{1}}) {
            SCOPED_TRACE(want.caption + L" " + std::to_wstring(sysType));
            const TPluginItem* item = Find(*cleaner, want.clsid, sysType);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->Caption, want.caption);
            EXPECT_EQ(item->Collection.AddonKind, want.kind);
            EXPECT_EQ(item->Publisher, L"Tarvo Add-on Makers");
            EXPECT_EQ(item->Description, L"Tarvo test add-on");
            EXPECT_EQ(item->Version, L"3.2.1.0");
            EXPECT_EQ(item->Paths, std::vector<std::wstring>{want.path});
        }
    }
}

TEST_F(IEBrowserCleanerTest, SwitchedOffAddOnsAreNotListed) {
    const std::wstring off = Guid(), on = Guid(), noVersion = Guid();
    for (const auto& clsid : {off, on, noVersion}) {
        reg.Class(clsid, L"Helper " + clsid, test::AddonFixture(L"VersionFixture.dll"), View::Default);
        reg.Bho(clsid, View::Default);
    }
    reg.Switch(off, 1);
    reg.Switch(on, 0);
    (void)reg.Key(HKEY_CURRENT_USER, std::wstring(kIESettingsKey) + L"\\" + noVersion).SetDword(L"Flags", 1);

    const auto cleaner = Scanned();
    EXPECT_EQ(Find(*cleaner, off), nullptr);
    EXPECT_NE(Find(*cleaner, on), nullptr);
    EXPECT_NE(Find(*cleaner, noVersion), nullptr);
    EXPECT_EQ(cleaner->DisabledIds().count(common::LowerCase(off)), 1u);
}

TEST_F(IEBrowserCleanerTest, BrokenRegistrationsNeverStopTheScan) {
    const std::wstring noServer = Guid(), folder = Guid(), huge = Guid(), unnamed = Guid(), variable = Guid();
    reg.Class(noServer, L"No Server", L"", View::Default);
    reg.Class(folder, L"Folder Server", scratch.path(), View::Default);
    reg.Class(huge, std::wstring(1 << 19, L'x'), std::wstring(1 << 19, L'y') + L".dll", View::Default);
    reg.Class(unnamed, L"", test::AddonFixture(L"VersionFixture.dll"), View::Default);
    reg.Class(variable, L"Variable Server", L"%TEMP%\\VersionFixture.dll", View::Default);
    for (const auto& clsid : {noServer, folder, huge, unnamed, variable, Guid()}) reg.Bho(clsid, View::Default);

    const auto cleaner = Scanned();
    for (const auto& clsid : {noServer, folder, huge, variable}) {
        const TPluginItem* item = Find(*cleaner, clsid);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->Publisher + item->Version + item->Description, L"");
        EXPECT_LE(item->Caption.size(), 1000u);
    }
    EXPECT_EQ(Find(*cleaner, unnamed), nullptr);  // a class without a name is not shown
}

TEST_F(IEBrowserCleanerTest, RemovalWritesOnlyTheSwitchAndTheNextScanOmitsTheAddOn) {
    const std::wstring toolbar = Guid(), bho64 = Guid();
    const std::wstring plain = test::AddonFixture(L"VersionFixture.dll");
    reg.Class(toolbar, L"Removable Toolbar", plain, View::Default);
    reg.Toolbar(toolbar, View::Default);
    reg.Class(bho64, L"Removable Helper", plain, View::Wow64_64Key);
    reg.Bho(bho64, View::Wow64_64Key);
    const std::wstring settings = std::wstring(kIESettingsKey) + L"\\";
    reg.Forget(HKEY_CURRENT_USER, settings + toolbar, View::Default);
    reg.Forget(HKEY_CURRENT_USER, settings + bho64, View::Wow64_64Key);

    auto cleaner = Scanned();
    for (const auto& [clsid, sysType] : {std::pair{toolbar, 0}, std::pair{bho64, 1}}) {
        TPluginItem* item = const_cast<TPluginItem*>(Find(*cleaner, clsid, static_cast<std::uint8_t>(sysType)));
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(cleaner->RemoveItem(*item));
        platform::RegistryKey marker;
        ASSERT_EQ(marker.Open(HKEY_CURRENT_USER, settings + clsid, KEY_READ, platform::ViewOf(sysType == 1)), ERROR_SUCCESS);
        EXPECT_EQ(marker.ValueNames().size(), 2u);
        EXPECT_EQ(marker.QueryValue(L"Flags")->type, DWORD{REG_DWORD});
        EXPECT_EQ(marker.QueryDword(L"Flags"), DWORD{1});
        EXPECT_EQ(marker.QueryDword(L"Version"), DWORD{1});
    }
    // The registrations themselves are untouched.
    EXPECT_TRUE(platform::ValueExists({HKEY_LOCAL_MACHINE, kIEToolbarKey, View::Default}, toolbar));
    EXPECT_TRUE(platform::RegKeyExists(HKEY_LOCAL_MACHINE, std::wstring(kIEBhoKey) + L"\\" + bho64, View::Wow64_64Key));
    const auto again = Scanned();
    EXPECT_EQ(Find(*again, toolbar), nullptr);
    EXPECT_EQ(Find(*again, bho64, 1), nullptr);

    // An id that would name a key below another add-on's switch is refused.
    TPluginItem forged;
    forged.Collection.AddonKind = AddonKind::BrowserHelperObject;
    forged.ItemId = toolbar + L"\\x";
    EXPECT_FALSE(cleaner->RemoveItem(forged));
    EXPECT_FALSE(platform::RegKeyExists(HKEY_CURRENT_USER, settings + forged.ItemId, View::Default));
}

TEST_F(IEBrowserCleanerTest, RestoreAcceptsEveryInternetExplorerKindAndDeleteBackupRemovesOnlyItsRows) {
    TIEBrowserCleaner cleaner(env);
    TPluginItem item;
    item.Present = false;
    for (const auto& [kind, restored] : {std::pair{AddonKind::Toolbar, true}, std::pair{AddonKind::BrowserHelperObject, true},
                                         std::pair{AddonKind::ActiveX, true}, std::pair{AddonKind::Extension, false}}) {
        item.Collection.AddonKind = kind;
        EXPECT_EQ(cleaner.RestoreItem(item), restored);
    }

    platform::SqliteDatabase db;
    ASSERT_EQ(db.Open(sqlite, cleaner.StorePath(), false), platform::SqliteLibrary::kOk);
    ASSERT_EQ(db.Execute("INSERT INTO iebackup VALUES ('a''b','k','v'),('a''b','k2','v'),('c','k','v')"),
              platform::SqliteLibrary::kOk);
    cleaner.DeleteBackup(L"a'b");
    auto rows = db.Prepare("SELECT group_concat(id) FROM iebackup");
    ASSERT_EQ(rows.Step(), platform::SqliteLibrary::kRow);
    EXPECT_EQ(rows.ColumnText(0), L"c");
}

}  // namespace
}  // namespace tarvo::addons
