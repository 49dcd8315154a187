// Removal runs against real keys and files under Wine: both passes, the log lines, files in
// use waiting for the restart, the recount, shredding, the guard against findings that
// changed since the scan, and the backup that undoes a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <map>

#include "leftovers/backup_list.h"
#include "leftovers/value_text.h"
#include "platform/registry.h"
#include "leftovers/power_scan_model.h"
#include "leftovers/removal.h"
#include "leftovers/scan_driver.h"
#include "platform/files.h"
#include "platform/registry_export.h"
#include "removal_fixture.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

using namespace tarvo::leftovers;
using namespace tarvo::test;
using tarvo::inventory::TSoftInfo;
using tarvo::platform::RegistryKey;
using tarvo::platform::RegistryValue;
using tarvo::platform::ReadStringValue;
using tarvo::platform::RegistryView;

namespace {

// The real actions, with the log kept in memory.
struct Actions {
    std::vector<std::wstring> log;
    int logWrites = 0;
    TRemovalActions Make() {
        TRemovalActions a = DefaultRemovalActions({});
        a.writeLog = [this](const std::vector<std::wstring>& lines) {
            ++logWrites;
            log.insert(log.end(), lines.begin(), lines.end());
        };
        a.now = [] {
            SYSTEMTIME t{};
            t.wYear = 2026;
            t.wMonth = 12;
            t.wDay = 9;
            t.wHour = 8;
            return t;
        };
        return a;
    }
    [[nodiscard]] bool Logged(const std::wstring& line) const {
        return std::find(log.begin(), log.end(), line) != log.end();
    }
};

std::wstring Text(HKEY root, const std::wstring& key, const std::wstring& value = {}, const std::wstring& data = {}) {
    return tarvo::leftovers::RegistryItemText(root, key, value, data);
}

std::map<std::wstring, RegistryValue> ValuesOf(HKEY root, const std::wstring& path) {
    std::map<std::wstring, RegistryValue> values;
    RegistryKey key;
    if (key.Open(root, path) != ERROR_SUCCESS) return values;
    std::wstring name;
    RegistryValue value;
    for (DWORD i = 0; key.EnumValue(i, name, &value) == ERROR_SUCCESS; ++i) values[name] = value;
    return values;
}

bool SameValues(const std::map<std::wstring, RegistryValue>& a, const std::map<std::wstring, RegistryValue>& b) {
    if (a.size() != b.size()) return false;
    for (const auto& [name, value] : a) {
        const auto other = b.find(name);
        if (other == b.end() || other->second.type != value.type || other->second.data != value.data) return false;
    }
    return true;
}

std::string Content(const std::wstring& path) { return tarvo::platform::ReadFileBytes(path).value_or("<missing>"); }

bool Exists(const std::wstring& path) {
    return tarvo::platform::GetFileAttributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

// Held open without sharing, as a running program holds its files.
struct HeldOpen {
    HANDLE handle;
    explicit HeldOpen(const std::wstring& path, DWORD share = 0)
        : handle(::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~HeldOpen() { ::CloseHandle(handle); }
};

std::wstring PendingRenames() {
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager") != ERROR_SUCCESS) return {};
    const auto value = key.QueryValue(L"PendingFileRenameOperations");
    if (!value) return {};
    std::wstring text(reinterpret_cast<const wchar_t*>(value->data.data()), value->data.size() / 2);
    for (auto& c : text) c = static_cast<wchar_t>(towlower(c == 0 ? L'|' : c));
    return text;
}

std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

}  // namespace

TEST(Removal, DeletingEverythingRemovesAllLogsItSaysItWasBackedUpAndTheBackupPutsItBack) {
    ScratchKey k(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    k.SetString(L"App", L"S", L"text \"quoted\" \\ back");
    k.SetString(L"App", L"E", L"%SystemRoot%\\x", REG_EXPAND_SZ);
    k.SetDword(L"App", L"D", 7);
    const BYTE binary[] = {0x00, 0x0A, 0xFF, 0x01};
    k.SetRaw(L"App", L"B", REG_BINARY, binary, sizeof binary);
    const wchar_t multi[] = L"one\0two\0";
    k.SetRaw(L"App", L"M", REG_MULTI_SZ, multi, sizeof multi);
    k.SetString(L"App\\Sub", L"", L"default text");
    k.SetString(L"Other", L"V", L"lone value");
    k.SetString(L"Other", L"Keep", L"stays");
    const auto appBefore = ValuesOf(k.root(), k.PathOf(L"App"));
    const auto subBefore = ValuesOf(k.root(), k.PathOf(L"App\\Sub"));

    ScratchFolder files;
    const std::wstring prog = files.MakeFolder(L"Prog");
    files.MakeFile(L"Prog\\a.dll", "abcd");
    files.MakeFile(L"Prog\\sub\\b.txt", "bee", FILE_ATTRIBUTE_READONLY);
    ScratchFolder data;

    TResultTree tree;
    auto& program = AddProgram(tree, L"Name");
    auto& registry = AddGroup(program, true);
    AddKeyItem(registry, k.root(), k.PathOf(L"App"));
    AddKeyItem(registry, k.root(), k.PathOf(L"App\\Sub"));
    AddKeyItem(registry, k.root(), k.PathOf(L"App"), L"S");
    AddKeyItem(registry, k.root(), k.PathOf(L"Other"), L"V");
    auto& fileGroup = AddGroup(program, false);
    AddFileItem(fileGroup, prog + L"\\", true);
    AddFileItem(fileGroup, prog + L"\\sub\\", true);
    AddFileItem(fileGroup, prog + L"\\sub\\b.txt");
    AddFileItem(fileGroup, prog + L"\\a.dll");

    Actions actions;
    RecordingView view;
    std::vector<std::wstring> statistics;
    TPowerScanSettings settings;
    settings.backupRoot = data.PathOf(L"Backup");
    settings.reportStatistic = [&](const std::wstring& code) { statistics.push_back(code); };
    TPowerScanModel model(tree, view, actions.Make(), settings);
    model.Shown();
    model.SelectLinkClicked();
    ASSERT_TRUE(view.deleteEnabled);
    model.DeleteClicked();

    EXPECT_EQ(view.confirms, 1);
    EXPECT_EQ(statistics, std::vector<std::wstring>{L"14"});
    EXPECT_TRUE(tree.Programs.empty());
    // Emptied but backed up: the window stays to say so instead of closing.
    EXPECT_EQ(view.closes, 0);
    EXPECT_EQ(view.finished, TPowerScanModel::BackedUpText());
    EXPECT_TRUE(model.allDone());
    EXPECT_TRUE(view.moveAllowed);
    EXPECT_EQ(view.progress.front(), 0);
    EXPECT_EQ(view.progress.size(), 11u);  // one step per node: the program, two groups, eight items
    EXPECT_EQ(view.progress.back(), 91);  // 10 of 11, rounded
    EXPECT_FALSE(tarvo::platform::RegKeyExists(k.root(), k.PathOf(L"App"), RegistryView::Default));
    EXPECT_EQ(ValuesOf(k.root(), k.PathOf(L"Other")).count(L"V"), 0u);
    EXPECT_EQ(ValuesOf(k.root(), k.PathOf(L"Other")).count(L"Keep"), 1u);
    EXPECT_FALSE(Exists(prog));

    const std::vector<std::wstring> expectedStart = {
        L"[Name]", L"Operation: Powerful Scan", actions.log[2], L"", L"------Registry------",
        L"Deleted Registry Key " + Text(k.root(), k.PathOf(L"App")),
        L"Deleted Registry Key " + Text(k.root(), k.PathOf(L"App\\Sub")),
        L"Deleted Registry Value " + Text(k.root(), k.PathOf(L"App"), L"S"),
        L"Deleted Registry Value " + Text(k.root(), k.PathOf(L"Other"), L"V"), L"", L"------File------",
        L"Delete Folder " + prog + L"\\", L"Delete Folder " + prog + L"\\sub\\",
        L"Delete File " + prog + L"\\sub\\b.txt", L"Delete File " + prog + L"\\a.dll",
        // The folder that held nothing but the program's goes too; the key that holds more stays.
        L"Delete Folder " + files.path()};
    EXPECT_EQ(actions.log, expectedStart);
    EXPECT_EQ(actions.log[2].rfind(L"Date: ", 0), 0u);

    // The backup: a registry file in the editor's format, the files moved, and all of it back.
    const std::wstring backup = model.lastBackup();
    ASSERT_FALSE(backup.empty());
    const std::string reg = Content(backup + L"\\registry32.reg");
    const std::string header = std::string("\xFF\xFEW\0i\0n\0d\0o\0w\0s\0", 16);
    EXPECT_EQ(reg.substr(0, header.size()), header);
    const auto restored = RestoreBackup(backup);
    EXPECT_TRUE(restored.manifestRead);
    EXPECT_TRUE(restored.problems.empty()) << (restored.problems.empty() ? "" : "problem");
    EXPECT_EQ(restored.filesRestored, 2);
    EXPECT_TRUE(tarvo::leftovers::RestoredWhole(restored));
    EXPECT_TRUE(SameValues(ValuesOf(k.root(), k.PathOf(L"App")), appBefore));
    EXPECT_TRUE(SameValues(ValuesOf(k.root(), k.PathOf(L"App\\Sub")), subBefore));
    EXPECT_EQ(ValuesOf(k.root(), k.PathOf(L"Other")).at(L"V").AsString(), L"lone value");
    EXPECT_EQ(Content(prog + L"\\a.dll"), "abcd");
    EXPECT_EQ(Content(prog + L"\\sub\\b.txt"), "bee");
    // The list of backups names the program and counts what went: App's key went with its
    // subkey and value in one piece, so they count once.
    const auto record = tarvo::leftovers::ReadBackupRecord(backup);
    EXPECT_EQ(record.programs, std::vector<std::wstring>{L"Name"});
    EXPECT_EQ((std::vector<int>{record.keys, record.values, record.files, record.folders}),
              (std::vector<int>{1, 1, 2, 3}));
    EXPECT_EQ(record.restored.size(), 19u);  // "yyyy-mm-dd hh:mm:ss"
    // A second restore finds every place taken and writes nothing over it, not even a value
    // whose data has changed since.
    tarvo::platform::RegistryKey other;
    ASSERT_EQ(other.Open(k.root(), k.PathOf(L"Other"), KEY_SET_VALUE, RegistryView::Default), ERROR_SUCCESS);
    ASSERT_EQ(other.SetString(L"V", L"new data"), ERROR_SUCCESS);
    const auto again = RestoreBackup(backup);
    EXPECT_EQ(again.filesRestored, 0);
    EXPECT_FALSE(tarvo::leftovers::RestoredWhole(again));
    EXPECT_EQ(ValuesOf(k.root(), k.PathOf(L"Other")).at(L"V").AsString(), L"new data");
    EXPECT_NE(std::find(again.leftAlone.begin(), again.leftAlone.end(), prog + L"\\a.dll"), again.leftAlone.end());
    EXPECT_NE(std::find(again.leftAlone.begin(), again.leftAlone.end(),
                        tarvo::platform::RegRootName(k.root()) + L"\\" + k.PathOf(L"Other") + L" | V"),
              again.leftAlone.end());
}

TEST(Removal, FilesInUseWaitForTheRestartWithOnePrefixAndTheCountsFollow) {
    ScratchKey k(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    for (const wchar_t* name : {L"A", L"B", L"C"}) k.SetString(L"", name, L"x");
    ScratchFolder files;
    std::vector<std::wstring> paths;
    for (int i = 0; i < 5; ++i) paths.push_back(files.MakeFile(L"f" + std::to_wstring(i) + L".bin", "data"));
    HeldOpen held1(paths[1]), held3(paths[3]);
    ScratchFolder data;

    TResultTree tree;
    auto& program = AddProgram(tree, L"Name");
    auto& registry = AddGroup(program, true);
    for (const wchar_t* name : {L"A", L"B", L"C"}) AddKeyItem(registry, k.root(), k.path(), name);
    auto& fileGroup = AddGroup(program, false);
    for (const auto& path : paths) AddFileItem(fileGroup, path);
    // A second program stays unticked, so the run is not "all done" and Delete can be pressed again.
    auto& other = AddProgram(tree, L"Other");
    AddFileItem(AddGroup(other, false), files.PathOf(L"untouched.txt"));

    Actions actions;
    RecordingView view;
    TPowerScanSettings settings;
    settings.backupRoot = data.PathOf(L"Backup");
    TPowerScanModel model(tree, view, actions.Make(), settings);
    model.Shown();
    model.Toggle(program);
    model.DeleteClicked();

    ASSERT_EQ(tree.Programs.size(), 2u);
    ASSERT_EQ(program.Children.size(), 1u);  // the registry group is gone
    EXPECT_EQ(program.Children[0]->Caption, L"File(2 items)");
    EXPECT_EQ(program.Caption, L"Name(2 items)");
    EXPECT_EQ(program.Children[0]->Children[0]->Caption, L"(Reboot to Delete) " + paths[1]);
    EXPECT_EQ(program.Children[0]->Children[1]->Caption, L"(Reboot to Delete) " + paths[3]);
    EXPECT_EQ(model.lastOutcome().scheduled, 2);
    EXPECT_FALSE(model.allDone());
    EXPECT_EQ(view.closes, 0);
    EXPECT_TRUE(view.deleteEnabled);
    EXPECT_TRUE(Exists(paths[1]));
    EXPECT_FALSE(Exists(paths[0]));
    const std::wstring pending = PendingRenames();
    EXPECT_NE(pending.find(Lower(paths[1])), std::wstring::npos);
    EXPECT_NE(pending.find(Lower(paths[3])), std::wstring::npos);
    EXPECT_TRUE(actions.Logged(L"Delete File " + paths[1]));

    // Deleting again: still in use, still one prefix.
    model.DeleteClicked();
    EXPECT_EQ(program.Children[0]->Children[0]->Caption, L"(Reboot to Delete) " + paths[1]);
    EXPECT_EQ(program.Children[0]->Caption, L"File(2 items)");
}

TEST(Removal, ShredderOverwritesTwiceBeforeDeletingAndKeepsNoCopy) {
    ScratchFolder files;
    ScratchFolder data;
    const std::string original(40000, 'q');
    const std::wstring path = files.MakeFile(L"secret.bin", original);
    const std::wstring locked = files.MakeFile(L"locked.bin", "still here");
    HeldOpen reader(locked, FILE_SHARE_READ);

    TResultTree tree;
    auto& program = AddProgram(tree, L"Shred");
    auto& group = AddGroup(program, false);
    AddFileItem(group, path);
    AddFileItem(group, locked);

    TPatternGenerator expected;
    const std::uint8_t first = expected.Next(), second = expected.Next();
    std::vector<std::string> seen;
    TPatternGenerator generator;
    Actions actions;
    TRemovalActions a = actions.Make();
    a.shredFile = [&](const std::wstring& p, const std::function<bool()>& cancel) {
        TShredOptions options;
        options.cancelRequested = cancel;
        options.afterPass = [&](int, std::uint8_t) { seen.push_back(Content(p)); };
        return ShredFile(p, generator, options);
    };
    RecordingView view;
    TPowerScanSettings settings;
    settings.backupRoot = data.PathOf(L"Backup");
    settings.readShredder = [] { return true; };
    TPowerScanModel model(tree, view, a, settings);
    model.Shown();
    EXPECT_TRUE(view.shredderTicked);
    model.SelectLinkClicked();
    model.DeleteClicked();

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::string(original.size(), static_cast<char>(first)));
    EXPECT_EQ(seen[1], std::string(original.size(), static_cast<char>(second)));
    EXPECT_FALSE(Exists(path));
    // Cannot be opened for writing: not overwritten, waits for the restart instead.
    EXPECT_EQ(Content(locked), "still here");
    ASSERT_EQ(group.Children.size(), 1u);
    EXPECT_EQ(group.Children[0]->Caption, L"(Reboot to Delete) " + locked);
    EXPECT_NE(PendingRenames().find(Lower(locked)), std::wstring::npos);
    // Nothing shredded is kept in a backup.
    EXPECT_TRUE(model.lastBackup().empty());
}

TEST(Removal, PatternGeneratorIsTheUnseededCongruentialSequence) {
    TPatternGenerator g;
    // x: 1, 134775814, …; byte = x * 255 >> 32.
    EXPECT_EQ(g.Next(), 0);
    EXPECT_EQ(g.Next(), static_cast<std::uint8_t>((134775814ull * 255) >> 32));
    for (int i = 0; i < 1000; ++i) EXPECT_LE(g.Next(), 254);
}

TEST(Removal, FindingsThatChangedSinceTheScanAreLeftAloneAndLogged) {
    ScratchFolder files;
    const std::wstring prog = files.MakeFolder(L"Prog");
    const std::wstring inner = files.MakeFile(L"Prog\\inner.txt", "keep me");
    const std::wstring fileNowFolder = files.MakeFile(L"was_file", "x");

    TResultTree tree;
    auto& program = AddProgram(tree, L"Guard");
    auto& group = AddGroup(program, false);
    AddFileItem(group, prog + L"\\", true);
    AddFileItem(group, inner);
    AddFileItem(group, fileNowFolder);

    // The folder turns into a link after the scan (Wine cannot make junctions: the seam says so).
    bool linked = false;
    TGuardProbes probes;
    probes.attributesOf = [&](const std::wstring& p) {
        if (linked && Lower(p) == Lower(prog)) return DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
        if (linked && p == fileNowFolder) return DWORD(FILE_ATTRIBUTE_DIRECTORY);
        return tarvo::platform::GetFileAttributesOf(p);
    };
    Actions actions;
    TRemovalActions a = actions.Make();
    int removeFolderCalls = 0;
    a.removeFolder = [&](const std::wstring&) { return ++removeFolderCalls, false; };
    RecordingView view;
    TPowerScanModel model(tree, view, a, {}, probes);
    linked = true;
    model.SelectLinkClicked();
    model.DeleteClicked();

    EXPECT_EQ(Content(inner), "keep me");
    EXPECT_TRUE(Exists(fileNowFolder));
    EXPECT_EQ(removeFolderCalls, 0);
    EXPECT_EQ(model.lastOutcome().skipped, 3);
    ASSERT_EQ(group.Children.size(), 3u);
    for (const auto& item : group.Children) EXPECT_EQ(item->StateImage, kStateUnticked);
    EXPECT_EQ(program.StateImage, kStateUnticked);
    EXPECT_FALSE(model.allDone());
    int skippedLines = 0;
    for (const auto& line : actions.log) skippedLines += line.rfind(L"Left alone, changed since the scan: ", 0) == 0;
    EXPECT_EQ(skippedLines, 3);
    EXPECT_FALSE(actions.Logged(L"Delete File " + inner));
}

TEST(Removal, ARegistryLinkIsNeverDeletedNorFollowed) {
    ScratchKey target(HKEY_LOCAL_MACHINE, L"Software", RegistryView::Wow64_64Key);
    target.SetString(L"", L"Precious", L"do not touch");
    target.SetString(L"Child", L"Also", L"precious");
    ScratchKey k(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    const std::wstring linkPath = k.PathOf(L"Link");
    const std::wstring laterPath = k.PathOf(L"Later");
    k.SetString(L"Later", L"Own", L"plain key at scan time");
    const std::wstring ntTarget = L"\\Registry\\Machine\\" + target.path();
    ASSERT_EQ(tarvo::platform::CreateRegistryLink(k.root(), linkPath, ntTarget, RegistryView::Default), ERROR_SUCCESS);
    ASSERT_TRUE(tarvo::platform::IsRegistryLink(k.root(), linkPath, RegistryView::Default));
    EXPECT_FALSE(tarvo::platform::IsRegistryLink(k.root(), laterPath, RegistryView::Default));

    TResultTree tree;
    auto& program = AddProgram(tree, L"Links");
    auto& group = AddGroup(program, true);
    AddKeyItem(group, k.root(), linkPath);
    AddKeyItem(group, k.root(), linkPath, L"Precious");
    AddKeyItem(group, k.root(), laterPath);
    Actions actions;
    RecordingView view;
    TPowerScanModel model(tree, view, actions.Make(), {});
    // "Later" becomes a link after the scan.
    ASSERT_EQ(tarvo::platform::DeleteKeyTreeNoLinks(k.root(), laterPath, RegistryView::Default), ERROR_SUCCESS);
    ASSERT_EQ(tarvo::platform::CreateRegistryLink(k.root(), laterPath, ntTarget, RegistryView::Default), ERROR_SUCCESS);
    model.SelectLinkClicked();
    model.DeleteClicked();

    EXPECT_EQ(model.lastOutcome().skipped, 3);
    EXPECT_EQ(ReadStringValue({HKEY_LOCAL_MACHINE, target.path(), RegistryView::Wow64_64Key}, L"Precious"),
              L"do not touch");
    EXPECT_EQ(ReadStringValue({HKEY_LOCAL_MACHINE, target.PathOf(L"Child"), RegistryView::Wow64_64Key}, L"Also"),
              L"precious");
    // A key tree that holds a link loses everything but the link and what it points at.
    k.SetString(L"Tree\\Plain", L"v", L"x");
    ASSERT_EQ(tarvo::platform::CreateRegistryLink(k.root(), k.PathOf(L"Tree\\Link"), ntTarget, RegistryView::Default),
              ERROR_SUCCESS);
    EXPECT_NE(tarvo::platform::DeleteKeyTreeNoLinks(k.root(), k.PathOf(L"Tree"), RegistryView::Default), ERROR_SUCCESS);
    EXPECT_FALSE(tarvo::platform::RegKeyExists(k.root(), k.PathOf(L"Tree\\Plain"), RegistryView::Default));
    EXPECT_EQ(ReadStringValue({HKEY_LOCAL_MACHINE, target.path(), RegistryView::Wow64_64Key}, L"Precious"),
              L"do not touch");

    for (const auto& path : {linkPath, laterPath, k.PathOf(L"Tree\\Link")})
        EXPECT_EQ(tarvo::platform::DeleteRegistryLink(k.root(), path, RegistryView::Default), ERROR_SUCCESS);
    EXPECT_TRUE(tarvo::platform::RegKeyExists(HKEY_LOCAL_MACHINE, target.path(), RegistryView::Wow64_64Key));
}

TEST(Removal, TheDefaultValueOfTheRunKeyGoesAloneAndNoRuleTakesTheKey) {
    ScratchFolder files;
    const std::wstring program = files.MakeFolder(L"Run Probe");
    const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring other = UniqueName(L"TarvoOther");
    RegistryKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, run, KEY_ALL_ACCESS), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(L"", program + L"\\probe.exe"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(other, L"C:\\Other\\other.exe"), ERROR_SUCCESS);

    TSoftInfo entry;
    entry.DisplayName = L"Run Probe";
    entry.InstallLocation = program;
    TResultTree tree;
    TIconList images;
    ASSERT_GT(ScanLeftovers(&entry, tree, {}, images), 0);
    // What a faulty rule could report: the shared key itself, in both roots' spellings.
    auto& forged = AddGroup(*tree.Programs.front(), true);
    AddKeyItem(forged, HKEY_CURRENT_USER, run);
    AddKeyItem(forged, HKEY_CURRENT_USER, L"SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\");
    Actions actions;
    RecordingView view;
    TPowerScanModel model(tree, view, actions.Make(), {});
    model.SelectLinkClicked();
    model.DeleteClicked();

    EXPECT_TRUE(actions.Logged(L"Deleted Registry Key " + Text(HKEY_CURRENT_USER, run, L"", program + L"\\probe.exe")));
    EXPECT_EQ(model.lastOutcome().skipped, 2);
    const auto values = ValuesOf(HKEY_CURRENT_USER, run);
    EXPECT_EQ(values.count(L""), 0u);
    EXPECT_EQ(values.count(other), 1u);
    (void)tarvo::platform::DeleteValue({HKEY_CURRENT_USER, run}, other);
}

TEST(Removal, EmptiedParentsGoUpToWhatOthersStillHold) {
    ScratchKey lone(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    ScratchKey shared(HKEY_CURRENT_USER, L"Software", RegistryView::Default);
    for (const ScratchKey* publisher : {&lone, &shared}) {
        publisher->SetString(L"Prog", L"A", L"1");
        publisher->SetString(L"Prog", L"B", L"2");
    }
    shared.SetString(L"Sibling", L"C", L"3");
    ScratchFolder files;
    const std::wstring mine = files.MakeFile(L"Pub\\Prog\\x.txt", "x");
    const std::wstring theirs = files.MakeFile(L"Pub2\\Prog\\y.txt", "y");
    const std::wstring other = files.MakeFolder(L"Pub2\\Other");  // another program's, empty

    TResultTree tree;
    tree.KeepFolders = {FolderForm(other)};
    auto& program = AddProgram(tree, L"Prog");
    auto& registry = AddGroup(program, true);
    for (const ScratchKey* publisher : {&lone, &shared})
        for (const wchar_t* value : {L"A", L"B"}) AddKeyItem(registry, publisher->root(), publisher->PathOf(L"Prog"), value);
    auto& fileGroup = AddGroup(program, false);
    AddFileItem(fileGroup, mine);
    AddFileItem(fileGroup, theirs);
    Actions actions;
    RecordingView view;
    TPowerScanModel model(tree, view, actions.Make(), {});
    model.SelectLinkClicked();
    model.DeleteClicked();

    EXPECT_FALSE(tarvo::platform::RegKeyExists(lone.root(), lone.path(), RegistryView::Default));
    EXPECT_TRUE(actions.Logged(L"Deleted Registry Key " + Text(lone.root(), lone.path())));
    EXPECT_FALSE(tarvo::platform::RegKeyExists(shared.root(), shared.PathOf(L"Prog"), RegistryView::Default));
    EXPECT_TRUE(tarvo::platform::RegKeyExists(shared.root(), shared.PathOf(L"Sibling"), RegistryView::Default));
    EXPECT_FALSE(Exists(files.PathOf(L"Pub")));
    EXPECT_TRUE(actions.Logged(L"Delete Folder " + files.PathOf(L"Pub")));
    EXPECT_FALSE(Exists(files.PathOf(L"Pub2\\Prog")));
    EXPECT_TRUE(Exists(other));
    EXPECT_TRUE(Exists(files.path()));
}

TEST(Removal, AFailedRegistryDeletionIsLoggedAsAttemptedAndAsFailed) {
    TResultTree tree;
    auto& program = AddProgram(tree, L"Stuck");
    auto& group = AddGroup(program, true);
    AddKeyItem(group, HKEY_CURRENT_USER, L"Software\\Stuck", L"V");
    AddKeyItem(group, HKEY_CURRENT_USER, L"Software\\Stuck");
    Actions actions;
    TRemovalActions a = actions.Make();
    a.deleteValue = [](const tarvo::platform::RegistryLocation&, const std::wstring&) { return false; };
    a.deleteKey = [](const tarvo::platform::RegistryLocation&) { return false; };
    RecordingView view;
    TPowerScanModel model(tree, view, a, {});
    model.SelectLinkClicked();
    model.DeleteClicked();
    const std::wstring value = Text(HKEY_CURRENT_USER, L"Software\\Stuck", L"V");
    const std::wstring key = Text(HKEY_CURRENT_USER, L"Software\\Stuck");
    EXPECT_TRUE(actions.Logged(L"Deleted Registry Value " + value));
    EXPECT_TRUE(actions.Logged(L"Could not be deleted: " + value));
    EXPECT_TRUE(actions.Logged(L"Deleted Registry Key " + key));
    EXPECT_TRUE(actions.Logged(L"Could not be deleted: " + key));
    EXPECT_EQ(model.lastOutcome().failed, 2);
}

TEST(Removal, CancelStopsTheRunWritesTheLogAndClosesNoAnswerChangesNothing) {
    ScratchFolder files;
    std::vector<std::wstring> paths;
    for (int i = 0; i < 4; ++i) paths.push_back(files.MakeFile(L"c" + std::to_wstring(i), "c"));
    TResultTree tree;
    auto& group = AddGroup(AddProgram(tree, L"Cancel"), false);
    for (const auto& p : paths) AddFileItem(group, p);

    Actions actions;
    RecordingView view;
    TPowerScanModel model(tree, view, actions.Make(), {});
    model.SelectLinkClicked();
    view.answer = false;
    model.DeleteClicked();
    EXPECT_TRUE(Exists(paths[0]));
    EXPECT_FALSE(model.deleting());
    EXPECT_TRUE(view.moveAllowed);

    view.answer = true;
    view.onPump = [&] {
        if (view.items.size() == 2) model.CancelClicked();
    };
    model.DeleteClicked();
    EXPECT_FALSE(Exists(paths[0]));
    EXPECT_FALSE(Exists(paths[1]));
    EXPECT_TRUE(Exists(paths[2]));
    EXPECT_TRUE(Exists(paths[3]));
    EXPECT_EQ(actions.logWrites, 1);
    EXPECT_EQ(view.closes, 1);
    EXPECT_TRUE(model.closed());
    // A cancel with no run in progress closes at once.
    RecordingView idle;
    TResultTree other;
    TPowerScanModel quiet(other, idle, actions.Make(), {});
    quiet.CancelClicked();
    EXPECT_EQ(idle.closes, 1);
}

TEST(Removal, OnlyTheLastTenBackupsAreKept) {
    ScratchFolder root;
    for (int i = 0; i < 12; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"2026-12-%02d_080000", i + 1);
        root.MakeFile(std::wstring(name) + L"\\files\\1", "x", FILE_ATTRIBUTE_READONLY);
    }
    PruneBackups(root.path());
    EXPECT_FALSE(Exists(root.PathOf(L"2026-12-01_080000")));
    EXPECT_FALSE(Exists(root.PathOf(L"2026-12-02_080000")));
    for (int i = 3; i <= 12; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"2026-12-%02d_080000", i);
        EXPECT_TRUE(Exists(root.PathOf(name))) << i;
    }
}
