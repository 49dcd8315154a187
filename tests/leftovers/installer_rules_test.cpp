// The program's uninstall key and Windows Installer's records of it, written as the
// installer writes them (named by a fresh product code each run) in the real registry.
#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>

#include "leftovers/value_text.h"
#include "platform/registry.h"
#include "common/text.h"
#include "leftovers/rule_families.h"
#include "leftovers/system_rule_steps.h"
#include "platform/folders.h"
#include "settings/system_info.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"
#include "support/uninstall_fixture.h"

using namespace tarvo::leftovers;
using tarvo::inventory::TSoftInfo;
using tarvo::platform::RegistryKey;
using tarvo::platform::RegistryView;
using tarvo::test::ScratchFolder;
using tarvo::test::ScratchKey;
using tarvo::test::UninstallFixture;

namespace {

constexpr RegistryView kNative = RegistryView::Wow64_64Key;

std::wstring NewProductCode() {
    GUID guid{};
    (void)::CoCreateGuid(&guid);
    wchar_t text[40] = {};
    (void)::StringFromGUID2(guid, text, 40);
    return text;
}

// Keys at names the installer chooses (no scratch parent); deleted with everything below them.
class OwnedKeys {
public:
    ~OwnedKeys() {
        for (auto it = keys_.rbegin(); it != keys_.rend(); ++it)
            (void)tarvo::platform::DeleteKeyTree(it->root, it->path, RegistryView::Wow64_64Key);
    }
    RegistryKey Make(HKEY root, const std::wstring& path) {
        keys_.push_back({root, path});
        RegistryKey key;
        EXPECT_EQ(key.Create(root, path, KEY_READ | KEY_WRITE, kNative), ERROR_SUCCESS) << path;
        return key;
    }
    void Value(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& data = {}) {
        EXPECT_EQ(Make(root, path).SetString(name, data), ERROR_SUCCESS);
    }

private:
    struct Key {
        HKEY root;
        std::wstring path;
    };
    std::vector<Key> keys_;
};

std::vector<std::wstring> Texts(const TRegeditScanClasses& scan) {
    std::vector<std::wstring> texts;
    for (const auto& r : scan.RegResults)
        texts.push_back(tarvo::leftovers::RegistryItemText(r.RootKey, r.KeyPath, r.ValueName, r.ValueData));
    return texts;
}

bool Has(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::any_of(texts.begin(), texts.end(),
                       [&](const std::wstring& t) { return tarvo::common::EqualsIgnoreCase(t, text); });
}

std::size_t CountPrefix(const std::vector<std::wstring>& texts, const std::wstring& prefix) {
    return static_cast<std::size_t>(std::count_if(texts.begin(), texts.end(), [&](const std::wstring& t) {
        return tarvo::common::LowerCase(t).rfind(tarvo::common::LowerCase(prefix), 0) == 0;
    }));
}

const std::wstring kMachineInstaller = L"SOFTWARE\\Classes\\Installer\\";
const std::wstring kUserInstaller = L"Software\\Microsoft\\Installer\\";
const std::wstring kUserData = std::wstring(kInstallerDataKey) + L"\\UserData";

}  // namespace

TEST(InstallerRecords, PackedCodeOnlyForABracedProductCode) {
    const struct {
        const wchar_t* name;
        const wchar_t* packed;
    } cases[] = {
        {L"{12345678-90AB-CDEF-1234-567890ABCDEF}", L"87654321BA09FEDC2143658709BADCFE"},
        {L"{12345678-90ab-cdef-1234-567890abcdef}", L"87654321ba09fedc2143658709badcfe"},  // case kept
        {L"12345678-90AB-CDEF-1234-567890ABCDEF", L""},
        {L"{12345678-90AB-CDEF-1234-567890ABCDEF", L""},
        {L"{12345678_90AB_CDEF_1234_567890ABCDEF}", L""},
        {L"{1234567G-90AB-CDEF-1234-567890ABCDEF}", L""},
        {L"Acme Product Name That Is 38 Chars!!!", L""},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(PackedCodeOfKeyName(c.name), c.packed) << c.name;
}

TEST(InstallerRecords, ProductRecordsUnderBothBasesAndTheirClassesRootTwins) {
    const std::wstring code = NewProductCode();
    const std::wstring packed = PackedCodeOfKeyName(code);
    ASSERT_EQ(packed.size(), 32u);
    const std::wstring otherProduct = PackedCodeOfKeyName(NewProductCode());
    const std::wstring soleCode = PackedCodeOfKeyName(NewProductCode());
    const std::wstring sharedCode = PackedCodeOfKeyName(NewProductCode());
    const std::wstring foreignCode = PackedCodeOfKeyName(NewProductCode());

    OwnedKeys keys;
    keys.Value(HKEY_LOCAL_MACHINE, kMachineInstaller + L"Features\\" + packed, L"Complete");
    keys.Value(HKEY_LOCAL_MACHINE, kMachineInstaller + L"Products\\" + packed, L"ProductName", L"Probe");
    keys.Value(HKEY_LOCAL_MACHINE, kMachineInstaller + L"Products\\" + packed + L"\\SourceList", L"PackageName", L"p.msi");
    keys.Value(HKEY_LOCAL_MACHINE, kMachineInstaller + L"UpgradeCodes\\" + soleCode, packed);
    // An upgrade code two products share: only this product's value goes.
    keys.Value(HKEY_LOCAL_MACHINE, kMachineInstaller + L"UpgradeCodes\\" + sharedCode, packed);
    keys.Value(HKEY_LOCAL_MACHINE, kMachineInstaller + L"UpgradeCodes\\" + sharedCode, otherProduct);
    keys.Value(HKEY_LOCAL_MACHINE, kMachineInstaller + L"UpgradeCodes\\" + foreignCode, otherProduct);
    keys.Value(HKEY_CURRENT_USER, kUserInstaller + L"Features\\" + packed, L"Complete");
    keys.Value(HKEY_CURRENT_USER, kUserInstaller + L"Products\\" + packed, L"ProductName", L"Probe");
    keys.Value(HKEY_CURRENT_USER, kUserInstaller + L"UpgradeCodes\\" + soleCode, packed);

    UninstallFixture fixture(HKEY_CURRENT_USER, RegistryView::Default, code);
    fixture.Set(L"DisplayName", L"Probe").Set(L"Comments", L"");
    TSoftInfo entry;
    entry.DisplayName = L"Probe";
    entry.RootKeyName = L"HKEY_CURRENT_USER";
    entry.KeyPath = fixture.KeyPath();
    tarvo::leftovers::TIconList images;
    TRegeditScanClasses scan(entry, images);
    UninstallKeyRules(scan);
    const auto texts = Texts(scan);

    const std::wstring hklm = L"HKEY_LOCAL_MACHINE\\" + kMachineInstaller;
    const std::wstring hkcr = L"HKEY_CLASSES_ROOT\\Installer\\";
    const std::wstring hkcu = L"HKEY_CURRENT_USER\\" + kUserInstaller;
    EXPECT_EQ(texts.front(), L"HKEY_CURRENT_USER" + fixture.KeyPath());
    for (const auto& base : {hklm, hkcr, hkcu}) {
        EXPECT_TRUE(Has(texts, base + L"Features\\" + packed)) << base;
        EXPECT_TRUE(Has(texts, base + L"Products\\" + packed)) << base;
        EXPECT_TRUE(Has(texts, base + L"UpgradeCodes\\" + soleCode)) << base;
        EXPECT_EQ(CountPrefix(texts, base + L"UpgradeCodes\\" + foreignCode), 0u) << base;
    }
    EXPECT_TRUE(Has(texts, hklm + L"Products\\" + packed + L"\\SourceList | PackageName - p.msi"));
    for (const auto& base : {hklm, hkcr}) {
        EXPECT_EQ(CountPrefix(texts, base + L"UpgradeCodes\\" + sharedCode), 1u) << base;
        EXPECT_TRUE(Has(texts, base + L"UpgradeCodes\\" + sharedCode + L" | " + packed + L" - ")) << base;
    }
    // Classes-root twins of machine records are read where the installer wrote them.
    for (const auto& r : scan.RegResults)
        EXPECT_EQ(r.View64, r.RootKey != HKEY_CURRENT_USER || r.KeyPath.find(L"Installer") != std::wstring::npos
                                ? tarvo::settings::IsWow64()
                                : false);
}

TEST(InstallerRecords, AnyOtherUninstallKeyReportsOnlyItself) {
    // Records exist for the code; only a braced name with a "Comments" value leads to them.
    const std::wstring code = NewProductCode();
    const std::wstring packed = PackedCodeOfKeyName(code);
    OwnedKeys keys;
    keys.Value(HKEY_LOCAL_MACHINE, kMachineInstaller + L"Products\\" + packed, L"ProductName", L"Probe");
    keys.Value(HKEY_CURRENT_USER, kUserInstaller + L"Products\\" + packed, L"ProductName", L"Probe");
    const struct {
        std::wstring keyName;
        bool comments;
    } cases[] = {
        {code, false},
        {code.substr(1, 36), true},
        {tarvo::test::UniqueName(L"Probe"), true},
    };
    for (const auto& c : cases) {
        UninstallFixture fixture(HKEY_CURRENT_USER, RegistryView::Default, c.keyName);
        fixture.Set(L"DisplayName", L"Probe").Set(L"Publisher", L"Acme");
        if (c.comments) fixture.Set(L"Comments", L"a comment");
        TSoftInfo entry;
        entry.RootKeyName = L" hkey_current_user ";
        entry.KeyPath = fixture.KeyPath();
        tarvo::leftovers::TIconList images;
        TRegeditScanClasses scan(entry, images);
        UninstallKeyRules(scan);
        const std::wstring key = L"HKEY_CURRENT_USER" + fixture.KeyPath();
        ASSERT_EQ(scan.RegResults.size(), c.comments ? 4u : 3u) << c.keyName;
        for (const auto& text : Texts(scan)) EXPECT_EQ(text.rfind(key, 0), 0u) << text;
    }

    // A root name other than the user or classes root means the machine.
    TSoftInfo entry;
    entry.RootKeyName = L"HKEY_USERS";
    entry.KeyPath = L"\\" + kMachineInstaller + L"Products\\" + packed;
    tarvo::leftovers::TIconList images;
    TRegeditScanClasses scan(entry, images);
    scan.OverrideView(kNative);
    UninstallKeyRules(scan);
    ASSERT_EQ(scan.RegResults.size(), 2u);
    EXPECT_EQ(scan.RegResults[0].RootKey, HKEY_LOCAL_MACHINE);
}

TEST(InstallerRecords, UserDataComponentsFeedTheFileRulesAndTheFolderList) {
    const std::wstring packed = PackedCodeOfKeyName(NewProductCode());
    const std::wstring otherProduct = PackedCodeOfKeyName(NewProductCode());
    ScratchFolder folder;
    const std::wstring program = folder.MakeFolder(L"Probe");
    const std::wstring data = folder.MakeFolder(L"Probe Data");
    const std::wstring system = tarvo::platform::GetSystemFolder();
    const std::wstring shared = folder.MakeFolder(L"Probe Shared");
    // A folder of the product's own directly inside a reserved one, as "C:\Program Files\Probe".
    const std::wstring inReserved = tarvo::platform::GetTempFolder() + L"\\TarvoProbe" + NewProductCode().substr(1, 8);
    ASSERT_TRUE(::CreateDirectoryW(inReserved.c_str(), nullptr));

    // One user holds the product; another only shares a component with it.
    ScratchKey holder(HKEY_LOCAL_MACHINE, kUserData, kNative);
    ScratchKey sharer(HKEY_LOCAL_MACHINE, kUserData, kNative);
    holder.SetString(L"Products\\" + packed + L"\\InstallProperties", L"DisplayName", L"Probe");
    holder.SetString(L"Components\\DataFolder", packed, data + L"\\");
    holder.SetString(L"Components\\MainFile", packed, program + L"\\probe.exe");
    holder.SetString(L"Components\\SystemFolder", packed, system + L"\\");
    holder.SetString(L"Components\\SystemFile", packed, system + L"\\probe.dll");
    holder.SetString(L"Components\\Shared", packed, program + L"\\shared.dll");
    holder.SetString(L"Components\\Shared", otherProduct, program + L"\\shared.dll");
    holder.SetString(L"Components\\Foreign", otherProduct, program + L"\\other.dll");
    holder.SetString(L"Components\\InReserved", packed, inReserved + L"\\");
    holder.SetString(L"Components\\CommonFolder", packed, shared + L"\\");
    holder.SetString(L"Components\\CommonFolder", otherProduct, shared + L"\\");
    sharer.SetString(L"Components\\MainFile", packed, program + L"\\probe.exe");
    sharer.SetString(L"Components\\DataFolder", otherProduct, data + L"\\");
    sharer.SetString(L"Components\\Foreign", packed, program + L"\\other.dll");  // never remembered

    // The installer's folder list, which Wine's installer does not keep.
    OwnedKeys keys;
    const std::wstring folders = std::wstring(kInstallerDataKey) + L"\\Folders";
    keys.Value(HKEY_LOCAL_MACHINE, folders, program + L"\\");
    keys.Value(HKEY_LOCAL_MACHINE, folders, data + L"\\");
    keys.Value(HKEY_LOCAL_MACHINE, folders, folder.PathOf(L"Probe Other\\"));

    TSoftInfo entry;
    entry.InstallLocation = program;
    entry.View64 = true;
    tarvo::leftovers::TIconList images;
    TRegeditScanClasses scan(entry, images);
    MsiUserDataRule(scan, packed);
    const auto texts = Texts(scan);

    const std::wstring mine = L"HKEY_LOCAL_MACHINE\\" + holder.path();
    const std::wstring theirs = L"HKEY_LOCAL_MACHINE\\" + sharer.path();
    EXPECT_TRUE(Has(texts, mine + L"\\Products\\" + packed));
    EXPECT_TRUE(Has(texts, mine + L"\\Components\\DataFolder"));
    EXPECT_TRUE(Has(texts, mine + L"\\Components\\MainFile"));
    EXPECT_EQ(CountPrefix(texts, mine + L"\\Components\\System"), 0u);
    EXPECT_EQ(CountPrefix(texts, mine + L"\\Components\\Foreign"), 0u);
    EXPECT_EQ(CountPrefix(texts, mine + L"\\Components\\Shared"), 1u);
    EXPECT_TRUE(Has(texts, mine + L"\\Components\\Shared | " + packed + L" - " + program + L"\\shared.dll"));
    EXPECT_TRUE(Has(texts, theirs + L"\\Components\\MainFile"));
    EXPECT_EQ(CountPrefix(texts, theirs + L"\\Components\\DataFolder"), 0u);
    EXPECT_EQ(CountPrefix(texts, theirs + L"\\Components\\Foreign"), 0u);
    EXPECT_EQ(CountPrefix(texts, theirs + L"\\Products"), 0u);

    const std::wstring folderList = L"HKEY_LOCAL_MACHINE\\" + folders + L" | ";
    EXPECT_TRUE(Has(texts, folderList + program + L"\\ - "));
    EXPECT_TRUE(Has(texts, folderList + data + L"\\ - "));
    EXPECT_FALSE(Has(texts, folderList + folder.PathOf(L"Probe Other\\ - ")));
    // A folder another product installed too is not the file rules' to list.
    auto collected = scan.MsiComponentFolders;
    std::sort(collected.begin(), collected.end());
    auto expected = std::vector<std::wstring>{tarvo::common::LowerCase(data) + L"\\",
                                              tarvo::common::LowerCase(inReserved) + L"\\"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(collected, expected);
    ::RemoveDirectoryW(inReserved.c_str());
}
