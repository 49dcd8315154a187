// Leftovers of programs already gone: the judging on its own (who owns a name or a folder,
// what the dead references vouch for), then one scan of a removed program's traces beside an
// installed look-alike, on the real registry and file system.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>

#include "inventory/inventory.h"
#include "leftovers/orphans/orphan_facts.h"
#include "leftovers/orphans/orphan_scan.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

using namespace tarvo::leftovers::orphans;
using tarvo::platform::RegistryKey;

namespace {

TOrphanFacts WorldFacts() {
    TOrphanFacts facts;
    facts.AddOwner({L"Residue Sheets 2.1 (x64)", L"Residue Labs, Inc.", L"C:\\Program Files\\Residue Sheets"});
    facts.AddOwner({L"Plum Runtime", L"Plum Studio", L"C:\\ProgramData\\Plum Studio\\Runtime"});  // hidden component
    facts.AddOwner({{}, {}, L"C:\\ProgramData\\Gauge"});  // a service's image folder
    facts.AddUserFolder(L"C:\\users\\me\\Documents");
    facts.Dead().Add({L"Residue Writer", L"ResWriter"}, L"Residue Writer");
    facts.Dead().Add({L"Kite Mail", L"Kite Works"}, L"Kite Mail");
    return facts;
}

}  // namespace

TEST(OrphanFacts, TracesAreOfferedOnlyWithoutAnOwner) {
    const TOrphanFacts facts = WorldFacts();
    struct Case {
        const wchar_t* name;
        const wchar_t* parent;
        bool programs, programFolder;
        bool offered;
        Confidence confidence;
        const wchar_t* program;
    };
    const Case cases[] = {
        {L"Residue Writer", L"Residue Labs", false, false, true, Confidence::Medium, L"Residue Writer"},
        {L"reswriter", L"", false, true, true, Confidence::Medium, L"Residue Writer"},
        {L"Kite Works", L"", false, false, true, Confidence::Medium, L"Kite Mail"},
        {L"Residue Sheets", L"Residue Labs", false, false, false, {}, nullptr},     // installed
        {L"Residue Sheets Beta", L"", false, false, false, {}, nullptr},           // like an installed one
        {L"Residue Labs", L"", false, false, false, {}, nullptr},                  // an installed publisher
        {L"Plum Runtime", L"Plum Studio", false, false, false, {}, nullptr},       // a hidden component
        {L"Old Tool", L"", false, true, true, Confidence::Medium, L"Old Tool"},    // an empty program folder
        {L"Old Tool", L"", true, true, false, {}, nullptr},                        // programs nobody registered
        {L"Some Data", L"", false, false, true, Confidence::Low, L"Some Data"},
        {L"Some Data", L"Vendor", false, false, true, Confidence::Low, L"Vendor"},
        {L"ab", L"", false, false, false, {}, nullptr},
    };
    for (const auto& c : cases) {
        std::wstring why;
        const auto verdict = JudgeTrace(facts, c.name, c.parent, c.programs, c.programFolder, why);
        ASSERT_EQ(verdict.has_value(), c.offered) << c.name;
        if (!verdict) {
            EXPECT_FALSE(why.empty()) << c.name;
            continue;
        }
        EXPECT_EQ(verdict->confidence, c.confidence) << c.name;
        EXPECT_EQ(verdict->program, c.program) << c.name;
    }
}

TEST(OrphanFacts, FoldersInUseOrTheUsersAreRefused) {
    const TOrphanFacts facts = WorldFacts();
    struct Case {
        const wchar_t* folder;
        bool refused;
    };
    const Case cases[] = {
        {L"C:\\ProgramData\\Gauge", true},                   // a service uses it
        {L"c:\\programdata\\gauge\\logs\\", true},
        {L"C:\\ProgramData\\Plum Studio", true},             // holds a hidden component's folder
        {L"C:\\Program Files\\Residue Sheets\\plugins", true},
        {L"C:\\users\\me\\Documents\\PortaTool", true},      // the user's own
        {L"C:\\Program Files\\Residue", false},              // a prefix of a name is not its folder
        {L"C:\\ProgramData\\Plum Studio Old", false},
        {L"C:\\ProgramData\\Kite Works", false},
    };
    for (const auto& c : cases) EXPECT_EQ(!facts.FolderRefusal(c.folder).empty(), c.refused) << c.folder;
    EXPECT_TRUE(facts.IsOwnedVendor(L"Residue Labs"));
    EXPECT_TRUE(facts.IsOwnedVendor(L"Plum Studio"));
    EXPECT_FALSE(facts.IsOwnedVendor(L"Kite Works"));
}

TEST(OrphanFacts, DeadNamesJoinTheirProgramAndSharedNamesAreSkipped) {
    TDeadNames dead;
    EXPECT_EQ(dead.Add({L"Kite Mail"}, L"Kite Mail"), L"Kite Mail");
    EXPECT_EQ(dead.Add({L"KiteMail", L"kmail"}, L"kmail"), L"Kite Mail");
    EXPECT_EQ(dead.LabelOf(L"KMAIL").value_or(L""), L"Kite Mail");
    EXPECT_FALSE(dead.LabelOf(L"Kite").has_value());
    for (const wchar_t* shared : {L"Windows NT", L"Microsoft.NET", L"Common Files", L"Internet Explorer", L"Wine"})
        EXPECT_TRUE(IsSharedTraceName(shared)) << shared;
    EXPECT_FALSE(IsSharedTraceName(L"Residue Labs"));
}

// A removed program's start-up entry, data folder and settings key, beside an installed
// program of another name whose data and key look just the same.
TEST(OrphanScan, FindsARemovedProgramsTracesAndNotAnInstalledOnes) {
    const std::wstring gone = tarvo::test::UniqueName(L"TarvoGone");
    const std::wstring kept = tarvo::test::UniqueName(L"TarvoKept");
    const std::wstring appData = tarvo::platform::GetSpecialFolderPath(CSIDL_APPDATA);
    const std::wstring programs = tarvo::platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILES);
    const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring uninstall = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + kept;
    const std::wstring keptFolder = appData + L"\\" + kept + L" Program";
    struct Cleanup {
        std::wstring gone, kept, appData, run, uninstall, keptFolder;
        ~Cleanup() {
            tarvo::test::RemoveTree(appData + L"\\" + gone);
            tarvo::test::RemoveTree(appData + L"\\" + kept);
            tarvo::test::RemoveTree(keptFolder);
            (void)tarvo::platform::DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\" + gone, {});
            (void)tarvo::platform::DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\" + kept, {});
            (void)tarvo::platform::DeleteKeyTree(HKEY_CURRENT_USER, uninstall, {});
            RegistryKey key;
            if (key.Open(HKEY_CURRENT_USER, run, KEY_WRITE) == ERROR_SUCCESS) (void)key.DeleteValue(gone);
        }
    } cleanup{gone, kept, appData, run, uninstall, keptFolder};

    const auto write = [](const std::wstring& path, const std::wstring& name, const std::wstring& value) {
        RegistryKey key;
        ASSERT_EQ(key.Create(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
        ASSERT_EQ(key.SetString(name, value), ERROR_SUCCESS);
    };
    write(run, gone, L"\"" + programs + L"\\" + gone + L"\\" + gone + L".exe\" /tray");
    write(L"Software\\" + gone, L"Width", L"800");
    write(L"Software\\" + kept, L"Width", L"800");
    write(uninstall, L"DisplayName", kept);
    write(uninstall, L"UninstallString", L"\"" + keptFolder + L"\\uninstall.exe\"");
    write(uninstall, L"InstallLocation", keptFolder);
    for (const auto& folder : {appData + L"\\" + gone, appData + L"\\" + kept, keptFolder}) {
        ASSERT_TRUE(tarvo::platform::CreateDirectoryOf(folder));
        ASSERT_TRUE(tarvo::platform::WriteFileBytes(folder + L"\\settings.ini", "[Window]\r\n"));
    }
    ASSERT_TRUE(tarvo::platform::WriteFileBytes(keptFolder + L"\\uninstall.exe", "MZ"));

    tarvo::inventory::TSoftList list;
    tarvo::inventory::Inventory(list);
    const TOrphanReport report = ScanOrphans(list);
    const auto find = [&](const std::wstring& text) {
        return std::find_if(report.findings.begin(), report.findings.end(), [&](const TOrphanFinding& f) {
            return f.path == text || f.keyPath == text || f.valueName == text;
        });
    };
    const auto runValue = find(gone);
    ASSERT_NE(runValue, report.findings.end());
    EXPECT_EQ(runValue->confidence, Confidence::High);
    EXPECT_EQ(runValue->program, gone);
    for (const auto& trace : {appData + L"\\" + gone, appData + L"\\" + gone + L"\\settings.ini", L"Software\\" + gone}) {
        const auto f = find(trace);
        ASSERT_NE(f, report.findings.end()) << trace;
        EXPECT_EQ(f->confidence, Confidence::Medium) << trace;
        EXPECT_EQ(f->program, gone) << trace;
    }
    for (const auto& owned : {keptFolder, appData + L"\\" + kept, L"Software\\" + kept})
        EXPECT_EQ(find(owned), report.findings.end()) << owned;
}
