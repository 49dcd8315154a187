// One scan against the real registry and file system under Wine: input decisions, the
// folder needle, key reports and their de-duplication, the result tree, and the places no
// rule may offer (shared keys, volume roots, system folders, folders above the program's
// own, content reached through a junction).
#include <gtest/gtest.h>

#include <shlobj.h>
#include <winioctl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

#include "leftovers/value_text.h"
#include "platform/registry.h"
#include "common/text.h"
#include "leftovers/rule_families.h"
#include "leftovers/scan_driver.h"
#include "platform/folders.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"
#include "support/uninstall_fixture.h"

using namespace tarvo::leftovers;
using tarvo::inventory::TSoftInfo;
using tarvo::platform::RegistryView;
using tarvo::test::ScratchFolder;
using tarvo::test::ScratchKey;
using tarvo::test::UninstallFixture;

namespace {

TSoftInfo EntryAt(const std::wstring& location) {
    TSoftInfo entry;
    entry.DisplayName = L"Scan Test";
    entry.InstallLocation = location;
    return entry;
}

std::vector<std::wstring> Texts(const TRegeditScanClasses& scan) {
    std::vector<std::wstring> texts;
    for (const auto& r : scan.RegResults)
        texts.push_back(tarvo::leftovers::RegistryItemText(r.RootKey, r.KeyPath, r.ValueName, r.ValueData));
    return texts;
}

std::vector<std::wstring> Paths(const TRegeditScanClasses& scan) {
    std::vector<std::wstring> paths;
    for (const auto& f : scan.FileResults) paths.push_back(f.Path);
    return paths;
}

// A directory junction made the way Windows makes one; false where the file system says no.
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
    if (!::CreateDirectoryW(link.c_str(), nullptr)) return false;
    HANDLE handle = ::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ::RemoveDirectoryW(link.c_str());
        return false;
    }
    const std::wstring substitute = L"\\??\\" + target;
    const WORD substituteBytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    std::vector<BYTE> buffer(8 + 8 + substituteBytes + 2 * sizeof(wchar_t));
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    const WORD dataLength = static_cast<WORD>(buffer.size() - 8);
    const WORD header[] = {0, substituteBytes, static_cast<WORD>(substituteBytes + sizeof(wchar_t)), 0};
    std::memcpy(buffer.data(), &tag, 4);
    std::memcpy(buffer.data() + 4, &dataLength, 2);
    std::memcpy(buffer.data() + 8, header, sizeof header);
    std::memcpy(buffer.data() + 16, substitute.c_str(), substituteBytes);
    DWORD returned = 0;
    const BOOL ok = ::DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                      static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
    ::CloseHandle(handle);
    const DWORD attributes = ::GetFileAttributesW(link.c_str());
    if (ok && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    ::RemoveDirectoryW(link.c_str());
    return false;
}

}  // namespace

TEST(ScanInput, DecisionsForBareFoldersAndToolbarMarkers) {
    TSoftInfo scanned;
    EXPECT_EQ(DecideScan(nullptr, L"C:\\Program Files\\Foo", scanned), ScanMode::FolderOnly);
    EXPECT_EQ(scanned.DisplayName, L"Foo");
    EXPECT_EQ(scanned.InstallLocation, L"C:\\Program Files\\");
    EXPECT_FALSE(scanned.View64);
    EXPECT_EQ(DecideScan(nullptr, L"C:\\Program Files\\Foo\\", scanned), ScanMode::FolderOnly);
    EXPECT_EQ(scanned.DisplayName, L"");
    EXPECT_EQ(scanned.InstallLocation, L"C:\\Program Files\\Foo\\");

    struct Case {
        const wchar_t* command;
        const wchar_t* toolbarId;
        ScanMode mode;
    };
    const wchar_t* const id = L"{00021401-0000-0000-C000-000000000046}";
    const Case cases[] = {
        {L"C:\\Foo\\uninst.exe", L"", ScanMode::Full},
        {L"", L"", ScanMode::Full},
        {L"_SPECIAL_TARVOTOOLBAR_", id, ScanMode::None},
        {L"_SPECIAL_TOOLBAR_", id, ScanMode::Toolbar},
        {L"_SPECIAL_TOOLBAR_", L"not a class", ScanMode::None},
        {L"_SPECIAL_TOOLBAR_", L"", ScanMode::None},
        {L"x _SPECIAL_TOOLBAR_", id, ScanMode::None},
        {L"_special_toolbar_", id, ScanMode::Full},  // the markers are case-sensitive
    };
    for (const auto& c : cases) {
        TSoftInfo entry = EntryAt(L"C:\\Foo\\bar.dll");
        entry.UninstallString = c.command;
        entry.ToolbarId = c.toolbarId;
        EXPECT_EQ(DecideScan(&entry, {}, scanned), c.mode) << c.command << L" " << c.toolbarId;
        if (c.mode == ScanMode::Toolbar) {
            EXPECT_EQ(scanned.ToolbarKey, c.toolbarId);
            EXPECT_EQ(scanned.ToolbarFile, L"C:\\Foo\\bar.dll");
            EXPECT_TRUE(entry.ToolbarKey.empty());  // the caller's entry is left alone
        }
    }
}

TEST(ScanInput, MarkedToolbarEntryAddsNothing) {
    UninstallFixture fixture(HKEY_CURRENT_USER, RegistryView::Default);
    fixture.Set(L"DisplayName", L"Toolbar");
    TSoftInfo entry = EntryAt({});
    entry.UninstallString = L"_SPECIAL_TARVOTOOLBAR_";
    entry.RootKeyName = L"HKEY_CURRENT_USER";
    entry.KeyPath = fixture.KeyPath();
    TResultTree tree;
    TIconList images;
    EXPECT_EQ(ScanLeftovers(&entry, tree, {}, images), 0);
    EXPECT_TRUE(tree.Programs.empty());
    EXPECT_EQ(images.Count(), kFixedImageCount);
}

TEST(FolderKey, ReservedEmptyOrForeignFoldersGiveNoNeedle) {
    const TReservedFolders reserved;
    const std::wstring programFiles = tarvo::platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILES);
    const std::wstring systemDrive = tarvo::platform::GetEnvironmentString(L"SYSTEMDRIVE");
    const std::wstring profile = tarvo::platform::GetSpecialFolderPath(CSIDL_PROFILE);
    const std::vector<std::wstring> locations = {
        L"", L"   ", programFiles, programFiles + L"\\", L" " + programFiles + L" ",
        tarvo::platform::GetSpecialFolderPath(CSIDL_PERSONAL), systemDrive + L"\\", systemDrive,
        tarvo::platform::GetWindowsFolder(), profile.substr(0, profile.find_last_of(L'\\')), L"Foo", L"Z:\\",
        L"\\\\server\\share"};
    for (const auto& location : locations) EXPECT_EQ(DeriveFolderKey(location, reserved), L"") << location;

    EXPECT_EQ(DeriveFolderKey(L" " + programFiles + L"\\Acme Foo ", reserved),
              tarvo::common::LowerCase(programFiles) + L"\\acme foo\\");
    ScratchFolder scratch;
    const std::wstring exe = scratch.MakeFile(L"Prog\\foo.exe");
    EXPECT_EQ(DeriveFolderKey(exe, reserved), tarvo::common::LowerCase(scratch.PathOf(L"Prog")) + L"\\");
}

TEST(ReportKey, KeyThenSubkeysThenValuesOncePerRuleSet) {
    ScratchKey scratch(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    (void)scratch.Key(L"Prog\\A");
    (void)scratch.Key(L"Prog\\B");
    scratch.SetString(L"Prog", L"Path", L"C:\\Foo");
    scratch.SetDword(L"Prog", L"Count", 0xFFFFFFFF);
    const BYTE bytes[] = {0x00, 0x0A, 0xFF, 0x01};
    scratch.SetRaw(L"Prog", L"Blob", REG_BINARY, bytes, sizeof bytes);

    TIconList images;
    TRegeditScanClasses scan(EntryAt({}), images);
    TRuleSet set;
    scan.ReportKey(set, HKEY_CURRENT_USER, L"Prog", L"\\" + scratch.PathOf(L"Prog"));
    const std::wstring key = L"HKEY_CURRENT_USER\\" + scratch.PathOf(L"Prog");
    // Subkeys before values; values in the registry's own enumeration order.
    std::vector<std::wstring> expected = {key, key + L"\\A", key + L"\\B"};
    const std::map<std::wstring, std::wstring> data = {{L"Path", L"C:\\Foo"}, {L"Count", L"-1"}, {L"Blob", L"0aff1"}};
    for (const auto& name : scratch.Key(L"Prog").ValueNames()) expected.push_back(key + L" | " + name + L" - " + data.at(name));
    EXPECT_EQ(expected.size(), 6u);
    EXPECT_EQ(Texts(scan), expected);
    EXPECT_EQ(scan.RegResults[0].KeyPath, scratch.PathOf(L"Prog"));  // no leading backslash

    // Once per rule set, whatever the letter case; another set reports it again.
    scan.ReportKey(set, HKEY_CURRENT_USER, L"PROG", scratch.PathOf(L"Prog"));
    EXPECT_EQ(scan.RegResults.size(), 6u);
    TRuleSet other;
    scan.ReportKey(other, HKEY_CURRENT_USER, L"Prog", scratch.PathOf(L"Prog"));
    EXPECT_EQ(scan.RegResults.size(), 12u);

    // A key that does not open reports nothing and is not recorded.
    scan.ReportKey(set, HKEY_CURRENT_USER, L"Gone", scratch.PathOf(L"Gone"));
    EXPECT_FALSE(set.Contains(L"Gone"));
    EXPECT_EQ(scan.RegResults.size(), 12u);

    // The default value counts only when it has data: Dflt, Sub and Sub's default.
    scratch.SetString(L"Dflt", L"", L"");
    scratch.SetString(L"Dflt\\Sub", L"", L"data");
    TRuleSet third;
    scan.ReportKey(third, HKEY_CURRENT_USER, L"Dflt", scratch.PathOf(L"Dflt"));
    EXPECT_EQ(scan.RegResults.size(), 15u);
    EXPECT_EQ(Texts(scan).back(), L"HKEY_CURRENT_USER\\" + scratch.PathOf(L"Dflt\\Sub") + L" | Default - data");
}

TEST(ReportKey, OpensInTheEntrysView) {
    ScratchKey native(HKEY_LOCAL_MACHINE, L"SOFTWARE", RegistryView::Wow64_64Key);
    (void)native.Key(L"Only64");
    TIconList images;
    TSoftInfo entry = EntryAt({});
    TRegeditScanClasses redirected(entry, images);
    TRuleSet a;
    redirected.ReportKey(a, HKEY_LOCAL_MACHINE, L"Only64", native.PathOf(L"Only64"));
    EXPECT_TRUE(redirected.RegResults.empty());
    entry.View64 = true;
    TRegeditScanClasses wide(entry, images);
    TRuleSet b;
    wide.ReportKey(b, HKEY_LOCAL_MACHINE, L"Only64", native.PathOf(L"Only64"));
    EXPECT_EQ(wide.RegResults.size(), 1u);
}

TEST(ReportKey, ClassesNamingOneTypeLibraryReportItOnce) {
    // A stand-in for the class rule's type-library step: each class names its library.
    ScratchKey scratch(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    const std::wstring lib = L"{6B29FC40-CA47-1067-B31D-00DD010662DA}";
    for (const auto* id : {L"{11111111-0000-0000-0000-000000000001}", L"{11111111-0000-0000-0000-000000000002}",
                           L"{11111111-0000-0000-0000-000000000003}"})
        scratch.SetString(std::wstring(L"CLSID\\") + id + L"\\TypeLib", L"", lib);
    scratch.SetString(L"TypeLib\\" + lib + L"\\1.0\\0\\win32", L"", L"C:\\Foo\\foo.tlb");

    TIconList images;
    TRegeditScanClasses scan(EntryAt({}), images);
    TScanKey classes;
    ASSERT_TRUE(scan.OpenKey(classes, HKEY_CURRENT_USER, scratch.PathOf(L"CLSID")));
    for (const auto& id : classes.Key.SubKeyNames()) {
        TScanKey typeLib;
        if (!scan.OpenKey(typeLib, HKEY_CURRENT_USER, scratch.PathOf(L"CLSID\\" + id + L"\\TypeLib"))) continue;
        const auto t = typeLib.Key.QueryString(L"").value_or(L"");
        if (!t.empty()) scan.ReportKey(scan.Sets.TypeLibs, HKEY_CURRENT_USER, t, scratch.PathOf(L"TypeLib\\" + t));
    }
    // {lib}, 1.0, 0, win32 and win32's path value: once, not three times.
    EXPECT_EQ(scan.RegResults.size(), 5u);
    EXPECT_TRUE(scan.Sets.TypeLibs.Contains(tarvo::common::LowerCase(lib)));
    const auto* group = scan.Sets.TypeLibs.Find(lib);
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->Subkeys.Contains(L"1.0"));
}

TEST(ScanGuards, SharedKeysAreNeverReportedWhateverARuleOrMakerRowSays) {
    TIconList images;
    for (const bool view64 : {false, true}) {
        TSoftInfo entry = EntryAt({});
        entry.View64 = view64;
        TRegeditScanClasses scan(entry, images);
        TRuleSet set;
        scan.ReportKey(set, HKEY_LOCAL_MACHINE, L"SOFTWARE", L"\\SOFTWARE");
        scan.ReportKey(set, HKEY_LOCAL_MACHINE, L"Classes", L"SOFTWARE\\Classes");
        scan.ReportKey(set, HKEY_LOCAL_MACHINE, L"Microsoft", L"SOFTWARE\\microsoft\\");
        scan.ReportKey(set, HKEY_CURRENT_USER, L"Software", L"Software");
        scan.ReportKey(set, HKEY_CLASSES_ROOT, L"root", L"");
        scan.ReportKey(set, HKEY_CLASSES_ROOT, L"CLSID", L"CLSID");
        EXPECT_FALSE(scan.AddKeyFinding(HKEY_LOCAL_MACHINE, L""));
        EXPECT_FALSE(scan.AddKeyFinding(HKEY_CURRENT_USER, L"\\Software\\Microsoft\\"));
        EXPECT_TRUE(scan.RegResults.empty()) << view64;
        EXPECT_TRUE(set.Empty());
    }

    const TFileterManage makers({{L"acme roadrunner",
                                  L"HKEY_LOCAL_MACHINE\\SOFTWARE,HKEY_CLASSES_ROOT,HKEY_CURRENT_USER\\Software\\Classes,"
                                  L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft,HKEY_CURRENT_USER\\Software\\AcmeGone",
                                  L"", L""}});
    TSoftInfo entry = EntryAt({});
    entry.Publisher = L"Acme";
    entry.DisplayName = L"Roadrunner 2";
    ScanOptions options;
    options.makerTable = &makers;
    TRegeditScanClasses scan(entry, images, options);
    MakerKeysRule(scan);
    // Only the product's own key is offered, even though it does not exist.
    EXPECT_EQ(Texts(scan), std::vector<std::wstring>{L"HKEY_CURRENT_USER\\Software\\AcmeGone"});
}

TEST(ScanGuards, VolumeRootsSystemFoldersAndFoldersAboveTheProgramAreNeverOffered) {
    ScratchFolder scratch;
    const std::wstring program = scratch.MakeFolder(L"Acme\\Prog");
    scratch.MakeFile(L"Acme\\Prog\\a.dll", "a");
    TIconList images;
    TRegeditScanClasses scan(EntryAt(program), images);
    const std::wstring systemDrive = tarvo::platform::GetEnvironmentString(L"SYSTEMDRIVE");
    const std::vector<std::wstring> refused = {
        systemDrive + L"\\", L"Z:\\", L"\\\\server\\share\\", tarvo::platform::GetWindowsFolder(),
        tarvo::platform::GetSystemFolder(), tarvo::platform::GetTempFolder(), scratch.path(), scratch.PathOf(L"Acme"),
        scratch.PathOf(L"Acme\\"), tarvo::platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILES), systemDrive + L"\\users",
        L"Acme\\Prog", program + L"\\..\\..", L""};
    for (const auto& path : refused) EXPECT_FALSE(scan.ReportPath(path, PathKind::Folder, 0)) << path;
    EXPECT_TRUE(scan.FileResults.empty());
    EXPECT_TRUE(scan.ReportPath(program, PathKind::Folder, 0));
    EXPECT_TRUE(scan.ReportPath(program + L"\\a.dll", PathKind::File, 1));
    EXPECT_TRUE(scan.ReportPath(scratch.PathOf(L"Acme\\Other"), PathKind::Folder, 0));  // a sibling is fine
    EXPECT_EQ(scan.FileResults.size(), 3u);
}

TEST(ScanGuards, AJunctionIsOfferedAsItselfNeverItsTargetsContent) {
    ScratchFolder scratch;
    const std::wstring program = scratch.MakeFolder(L"Prog");
    scratch.MakeFile(L"Prog\\a.dll", "a");
    scratch.MakeFile(L"Prog\\data\\inside.txt", "x");  // stands in for the link's target content
    const std::wstring data = scratch.PathOf(L"Prog\\data");

    // Through the attribute seam: the folder "data" reads as a junction.
    TIconList images;
    ScanOptions options;
    options.attributesOf = [&](const std::wstring& path) -> DWORD {
        if (tarvo::common::EqualsIgnoreCase(path, data)) return FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        return ::GetFileAttributesW(path.c_str());
    };
    TRegeditScanClasses scan(EntryAt(program), images, options);
    TVisitedSet visited;
    scan.ListFolder(program, visited);
    auto paths = Paths(scan);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::wstring>{program + L"\\a.dll", data}));
    EXPECT_FALSE(scan.ReportPath(data + L"\\inside.txt", PathKind::File, 1));

    // A real junction to the profiles folder, where the file system makes one.
    const std::wstring link = program + L"\\users-link";
    const std::wstring profile = tarvo::platform::GetSpecialFolderPath(CSIDL_PROFILE);
    if (!MakeJunction(link, profile.substr(0, profile.find_last_of(L'\\')))) {
        std::printf("note: this file system makes no junctions; the seam above stands in\n");
        return;
    }
    TRegeditScanClasses real(EntryAt(program), images);
    TVisitedSet seen;
    real.ListFolder(program, seen);
    const auto found = Paths(real);
    for (const auto& path : found) EXPECT_EQ(path.rfind(link + L"\\", 0), std::wstring::npos) << path;
    EXPECT_NE(std::find(found.begin(), found.end(), link), found.end());
    ::RemoveDirectoryW(link.c_str());
}

TEST(ResultTree, CaptionsImagesAndStates) {
    EXPECT_EQ(CountCaption(L"Foo", 1), L"Foo(1 item)");
    EXPECT_EQ(CountCaption(L"Foo", 2), L"Foo(2 items)");
    EXPECT_EQ(CountCaption(L"Registry", 0), L"Registry(0 items)");

    ScratchFolder scratch;
    const std::wstring program = scratch.MakeFolder(L"Prog");
    scratch.MakeFile(L"Prog\\a.dll", "abc");
    UninstallFixture fixture(HKEY_CURRENT_USER, RegistryView::Default);
    fixture.Set(L"DisplayName", L"Tree Test").Set(L"InstallLocation", program);
    TSoftInfo entry = EntryAt(program);
    entry.DisplayName = L"Tree Test";
    entry.RootKeyName = L"HKEY_CURRENT_USER ";
    entry.KeyPath = fixture.KeyPath();

    TResultTree tree;
    TIconList images;
    const int count = ScanLeftovers(&entry, tree, {}, images);
    // The uninstall key with its two values; the folder and its file.
    ASSERT_EQ(count, 5);
    EXPECT_EQ(FindingCount(tree), 5);
    ASSERT_EQ(tree.Programs.size(), 1u);
    const TTreeNode& node = *tree.Programs[0];
    EXPECT_EQ(node.Caption, L"Tree Test(5 items)");
    EXPECT_EQ(node.Data.NodeKind, nkProgram);
    EXPECT_EQ(node.Data.ValueName, L"Tree Test");
    ASSERT_EQ(node.Children.size(), 2u);

    const TTreeNode& reg = *node.Children[0];
    EXPECT_EQ(reg.Caption, L"Registry(3 items)");
    EXPECT_EQ(reg.Image, kImageRegistryGroup);
    EXPECT_EQ(reg.Data.NodeKind, nkRegistryGroup);
    ASSERT_EQ(reg.Children.size(), 3u);
    const std::wstring key = L"HKEY_CURRENT_USER\\" + fixture.KeyPath().substr(1);
    EXPECT_EQ(reg.Children[0]->Caption, key);
    EXPECT_EQ(reg.Children[0]->Image, kImageRegistryKey);
    EXPECT_EQ(reg.Children[1]->Caption, key + L" | DisplayName - Tree Test");
    EXPECT_EQ(reg.Children[1]->Image, kImageRegistryValue);
    EXPECT_EQ(reg.Children[1]->Data.RootKey, HKEY_CURRENT_USER);
    EXPECT_EQ(reg.Children[1]->Data.NodeKind, nkItem);

    const TTreeNode& files = *node.Children[1];
    EXPECT_EQ(files.Caption, L"File(2 items)");
    EXPECT_EQ(files.Image, kImageFileGroup);
    EXPECT_EQ(files.Data.NodeKind, nkFileGroup);
    ASSERT_EQ(files.Children.size(), 2u);
    EXPECT_EQ(tarvo::common::LowerCase(files.Children[0]->Caption),
              tarvo::common::LowerCase(program) + L"\\");
    EXPECT_EQ(files.Children[0]->Data.FileKind, PathKind::Folder);
    EXPECT_EQ(files.Children[1]->Data.FilePath, tarvo::common::LowerCase(program) + L"\\a.dll");
    EXPECT_EQ(files.Children[1]->Data.FileSize, 3);
    EXPECT_EQ(files.Children[1]->Data.ItemKind, FindingKind::File);
    EXPECT_EQ(files.Children[1]->Image, files.Children[1]->Data.TreeImage);

    std::function<void(const TTreeNode&)> check = [&](const TTreeNode& n) {
        EXPECT_EQ(n.StateImage, kStateUnticked);
        EXPECT_FALSE(n.Data.DeletedNow || n.Data.RebootMarked);
        for (const auto& child : n.Children) check(*child);
    };
    check(node);

    // One finding: a bare folder holding nothing.
    const std::wstring empty = scratch.MakeFolder(L"Empty");
    TResultTree single;
    EXPECT_EQ(ScanLeftovers(nullptr, single, empty + L"\\", images), 1);
    ASSERT_EQ(single.Programs.size(), 1u);
    EXPECT_EQ(single.Programs[0]->Caption, L"(1 item)");
    EXPECT_EQ(single.Programs[0]->Children[0]->Caption, L"File(1 item)");
}

TEST(FullScan, ReportsOnlyTheFixtureNotWinesOwnRegistry) {
    ScratchFolder scratch;
    const std::wstring program = scratch.MakeFolder(L"Prog");
    scratch.MakeFile(L"Prog\\bin\\prog.exe", "MZ");
    UninstallFixture fixture(HKEY_LOCAL_MACHINE, RegistryView::Default);
    fixture.Set(L"DisplayName", L"Background").Set(L"UninstallString", program + L"\\bin\\prog.exe /u");
    TSoftInfo entry = EntryAt(program + L"\\");
    entry.Publisher = L"Nobody";
    entry.RootKeyName = L"HKEY_LOCAL_MACHINE";
    entry.KeyPath = fixture.KeyPath();
    TIconList images;
    TRegeditScanClasses scan(entry, images);
    RunRegistryRules(scan);
    ASSERT_FALSE(scan.RegResults.empty());
    for (const auto& r : scan.RegResults) {
        EXPECT_EQ(r.RootKey, HKEY_LOCAL_MACHINE);
        EXPECT_EQ(r.KeyPath.rfind(fixture.KeyPath().substr(1), 0), 0u) << r.KeyPath;
    }
    const std::wstring lowerProgram = tarvo::common::LowerCase(program);
    for (const auto& path : Paths(scan))
        EXPECT_EQ(tarvo::common::LowerCase(path).rfind(lowerProgram, 0), 0u) << path;
    EXPECT_EQ(scan.FileResults.size(), 3u);

    // Installed straight into Program Files: no needle, no files, only the entry's own key.
    TSoftInfo flat = entry;
    flat.InstallLocation = tarvo::platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILES);
    TRegeditScanClasses none(flat, images);
    EXPECT_EQ(none.FolderKey, L"");
    RunRegistryRules(none);
    EXPECT_TRUE(none.FileResults.empty());
    EXPECT_EQ(none.RegResults.size(), scan.RegResults.size());
}

TEST(FullScan, MakerFilterKeepsItsFilesAndTheFolderOut) {
    ScratchFolder scratch;
    const std::wstring program = scratch.MakeFolder(L"Prog");
    scratch.MakeFile(L"Prog\\keep.dat", "k");
    scratch.MakeFile(L"Prog\\other.dll", "o");
    const TFileterManage makers({{L"acme coyote", L"", L"", L"CSIDL_LOCAPTION\\keep.dat"}});
    TSoftInfo entry = EntryAt(program);
    entry.Publisher = L"Acme";
    entry.DisplayName = L"Coyote";
    TIconList images;
    ScanOptions options;
    options.makerTable = &makers;
    TRegeditScanClasses scan(entry, images, options);
    RunFileRules(scan, {program, {}, {}});
    ASSERT_EQ(scan.FileResults.size(), 1u);
    EXPECT_EQ(tarvo::common::LowerCase(scan.FileResults[0].Path),
              tarvo::common::LowerCase(program) + L"\\other.dll");
}

namespace {

// The icon's colour pixels, to tell two icons apart by what they show.
std::vector<BYTE> IconPixels(HICON icon) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return {};
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, info.hbmColor, 0, 0, nullptr, &bmi, DIB_RGB_COLORS);
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> bits(static_cast<std::size_t>(bmi.bmiHeader.biWidth) * std::abs(bmi.bmiHeader.biHeight) * 4);
    ::GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(std::abs(bmi.bmiHeader.biHeight)), bits.data(), &bmi,
                DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bits;
}

class OneIconCatalogue final : public CatalogueImages {
public:
    [[nodiscard]] int Count() const override { return 1; }
    [[nodiscard]] tarvo::platform::unique_hicon Icon(int) const override {
        tarvo::platform::unique_hicon icon(::CopyIcon(::LoadIconW(nullptr, IDI_WARNING)));
        last = icon.get();
        return icon;
    }
    mutable HICON last = nullptr;
};

}  // namespace

TEST(ResultTree, ProgramsShowTheirCatalogueIconAndFoldersAFolderIcon) {
    ScratchFolder scratch;
    const std::wstring program = scratch.MakeFolder(L"Prog");
    scratch.MakeFolder(L"Prog\\Data");
    scratch.MakeFile(L"Prog\\notes.txt", "abc");
    TSoftInfo entry = EntryAt(program);
    entry.ImageIndex = 5;  // beyond the list: its first image stands in
    TResultTree tree;
    TIconList images;
    OneIconCatalogue catalogue;
    ScanOptions options;
    options.catalogueImages = &catalogue;
    ASSERT_GT(ScanLeftovers(&entry, tree, {}, images, options), 0);
    const TTreeNode& node = *tree.Programs.at(0);
    EXPECT_EQ(images.Icon(node.Image), catalogue.last);

    const auto& files = node.Children.back()->Children;
    auto pixelsOf = [&](const std::wstring& suffix) {
        for (const auto& f : files)
            if (tarvo::common::LowerCase(f->Data.FilePath).ends_with(suffix)) return IconPixels(images.Icon(f->Image));
        ADD_FAILURE() << "no finding ends with " << std::string(suffix.begin(), suffix.end());
        return std::vector<BYTE>{};
    };
    const auto folder = pixelsOf(L"\\data"), file = pixelsOf(L"\\notes.txt");
    ASSERT_FALSE(folder.empty());
    const auto shellFolder = tarvo::platform::GetFileIconOf(L"Data", true, FILE_ATTRIBUTE_DIRECTORY);
    const auto shellDocument = tarvo::platform::GetFileIconOf(L"Data", true);
    EXPECT_EQ(folder, IconPixels(shellFolder.get()));
    EXPECT_NE(folder, IconPixels(shellDocument.get()));
    EXPECT_NE(folder, file);
}

// A batch reads each key and folder once and lets the later programs test what the first read
// gave: what the user sees must be exactly what one scan after another shows, even where the
// programs share a vendor key and one program's values name another's folder.
TEST(BatchScan, GivesTheTreeOfSeparateScansInTheSameOrder) {
    ScratchFolder scratch;
    ScratchKey vendor(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    std::vector<std::unique_ptr<UninstallFixture>> fixtures;
    std::vector<TSoftInfo> entries;
    for (const wchar_t* name : {L"Batch One", L"Batch Two"}) {
        const std::wstring folder = scratch.MakeFolder(name);
        scratch.MakeFile(std::wstring(name) + L"\\app.exe", "MZ");
        fixtures.push_back(std::make_unique<UninstallFixture>(HKEY_CURRENT_USER, RegistryView::Default));
        fixtures.back()->Set(L"DisplayName", name).Set(L"InstallLocation", folder);
        vendor.SetString(name, L"Path", folder + L"\\app.exe");
        TSoftInfo entry = EntryAt(folder);
        entry.DisplayName = name;
        entry.RootKeyName = L"HKEY_CURRENT_USER";
        entry.KeyPath = fixtures.back()->KeyPath();
        entries.push_back(entry);
    }
    vendor.SetString(L"Batch Two", L"Helper", scratch.path() + L"\\Batch One\\helper.dll");

    const auto dump = [](const TResultTree& tree) {
        std::wstring out;
        const std::function<void(const TTreeNode&)> walk = [&](const TTreeNode& node) {
            out += node.Caption + L"|" + node.Data.KeyPath + L"|" + node.Data.ValueName + L"|" + node.Data.FilePath + L"\n";
            for (const auto& child : node.Children) walk(*child);
        };
        for (const auto& program : tree.Programs) walk(*program);
        return out;
    };
    TResultTree separate, together;
    TIconList images;
    std::vector<int> counts;
    for (const auto& entry : entries) counts.push_back(ScanLeftovers(&entry, separate, {}, images));
    const std::vector<const TSoftInfo*> batch{&entries[0], &entries[1]};
    EXPECT_EQ(ScanLeftoversBatch(batch, together, images, {}), counts);
    EXPECT_EQ(dump(together), dump(separate));
    EXPECT_NE(dump(separate).find(L"helper.dll"), std::wstring::npos);  // the shared key was seen at all
}
