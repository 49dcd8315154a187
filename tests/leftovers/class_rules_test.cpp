// The file-class steps against real registrations: programmatic IDs found through a class,
// a current version or a verb's command, their extensions, and the verbs and handlers a
// program adds to the shell's core classes, which themselves are never offered.
#include <gtest/gtest.h>

#include "class_fixture.h"

using namespace tarvo::leftovers;
using tarvo::test::CountUnder;
using tarvo::test::EntryAt;
using tarvo::test::kClasses;
using tarvo::test::KeyCount;
using tarvo::test::Registrations;
using tarvo::test::RunClassSteps;
using tarvo::test::ScratchFolder;

namespace {

// A class whose in-process server lies in the folder; returns its name.
std::wstring FoundClass(Registrations& reg, const std::wstring& folder) {
    const std::wstring id = Registrations::Name(L"{TarvoTest");
    reg.OwnMachine(kClasses + L"CLSID\\" + id);
    reg.Machine(kClasses + L"CLSID\\" + id + L"\\InprocServer32", folder + L"\\foo.dll");
    return id;
}

}  // namespace

TEST(ClassesRule, ProgIdsAndExtensionsFollowTheirClassCurrentVersionOrCommand) {
    ScratchFolder scratch;
    const std::wstring folder = scratch.MakeFolder(L"Foo");
    const std::wstring command = L"\"" + folder + L"\\foo.exe\" \"%1\"";
    Registrations reg;
    auto progId = [&](HKEY root, const wchar_t* prefix) {
        const std::wstring name = Registrations::Name(prefix);
        reg.Own(root, (root == HKEY_LOCAL_MACHINE ? kClasses : L"Software\\Classes\\") + name);
        return name;
    };
    auto set = [&](HKEY root, const std::wstring& relative, const std::wstring& value) {
        reg.Set(root, (root == HKEY_LOCAL_MACHINE ? kClasses : L"Software\\Classes\\") + relative, {}, value);
    };
    const HKEY machine = HKEY_LOCAL_MACHINE;

    // Found through its class, which names it; its own verb runs the program too.
    const std::wstring classId = FoundClass(reg, folder);
    const std::wstring viaClass = progId(machine, L"TarvoFoo.Document");
    reg.Machine(kClasses + L"CLSID\\" + classId + L"\\ProgID", viaClass);
    set(machine, viaClass + L"\\CLSID", classId);
    set(machine, viaClass + L"\\shell\\open\\command", command);
    const std::wstring viaClassExt = progId(machine, L".tarvofoo");
    set(machine, viaClassExt, viaClass);
    // The version-independent name points at it.
    const std::wstring current = progId(machine, L"TarvoFoo");
    set(machine, current + L"\\CurVer", viaClass);
    // Found only by its command; so is its extension.
    const std::wstring viaCommand = progId(machine, L"TarvoBar.File");
    set(machine, viaCommand + L"\\shell\\open\\command", command);
    const std::wstring viaCommandExt = progId(machine, L".tarvobar");
    set(machine, viaCommandExt, viaCommand);
    // The first verb that has a command decides, even when a later one runs the program.
    const std::wstring firstVerbElsewhere = progId(machine, L"TarvoBaz.File");
    set(machine, firstVerbElsewhere + L"\\shell\\a_print\\command", L"C:\\Other\\print.exe \"%1\"");
    set(machine, firstVerbElsewhere + L"\\shell\\b_open\\command", command);
    // The per-user classes have the same rules.
    const HKEY user = HKEY_CURRENT_USER;
    const std::wstring userClass = progId(user, L"TarvoUser.File");
    set(user, userClass + L"\\shell\\open\\command", command);
    const std::wstring userExt = progId(user, L".tarvouser");
    set(user, userExt, userClass);

    TIconList images;
    TRegeditScanClasses scan(EntryAt(folder), images);
    RunClassSteps(scan);

    struct Expectation {
        HKEY root;
        std::wstring path;
        int count;
    };
    const Expectation expectations[] = {
        {machine, kClasses + viaClass, 1},  // once, by the class rule, not again by the classes rule
        {HKEY_CLASSES_ROOT, viaClass, 1},
        {machine, kClasses + viaClassExt, 0},
        {machine, kClasses + current, 1},
        {HKEY_CLASSES_ROOT, current, 1},
        {machine, kClasses + viaCommand, 1},
        {HKEY_CLASSES_ROOT, viaCommand, 1},
        {machine, kClasses + viaCommandExt, 1},
        {HKEY_CLASSES_ROOT, viaCommandExt, 1},
        {machine, kClasses + firstVerbElsewhere, 0},
        {user, L"Software\\Classes\\" + userClass, 1},
        {user, L"Software\\Classes\\" + userExt, 1},
    };
    for (const auto& e : expectations) EXPECT_EQ(KeyCount(scan, e.root, e.path), e.count) << e.path;
    EXPECT_TRUE(scan.Sets.ProgIds.Contains(viaCommand));
    EXPECT_TRUE(scan.Sets.UserClasses.Contains(userClass));

    // Without a found class, the command alone still finds the programmatic ID, and the
    // extension follows it.
    TRegeditScanClasses alone(EntryAt(folder), images);
    ClassesRule(alone, HKEY_LOCAL_MACHINE, alone.Sets.ProgIds);
    EXPECT_EQ(KeyCount(alone, machine, kClasses + viaClass), 1);
    EXPECT_EQ(KeyCount(alone, machine, kClasses + viaClassExt), 1);
    EXPECT_EQ(KeyCount(alone, machine, kClasses + current), 0);
}

TEST(ReservedClassVerbRule, CoreClassesGiveUpOnlyTheProgramsVerbsAndHandlers) {
    ScratchFolder scratch;
    const std::wstring folder = scratch.MakeFolder(L"Foo");
    Registrations reg;
    const std::wstring classId = FoundClass(reg, folder);
    const std::wstring menu = Registrations::Name(L"FooMenu");
    const std::wstring menuPath = L"Directory\\shellex\\ContextMenuHandlers\\" + menu;
    reg.Machine(reg.OwnMachine(kClasses + menuPath), classId);
    // A handler named by the class itself; only the first match of a handler type counts.
    const std::wstring dropPath = L"Folder\\shellex\\DragDropHandlers\\" + classId;
    reg.Machine(reg.OwnMachine(kClasses + dropPath), L"");
    const std::wstring secondDrop = L"Folder\\shellex\\DragDropHandlers\\" + Registrations::Name(L"{zz");
    reg.Machine(reg.OwnMachine(kClasses + secondDrop), classId);
    const std::wstring verb = Registrations::Name(L"FooScan");
    const std::wstring verbPath = L"exefile\\shell\\" + verb;
    reg.Machine(reg.OwnMachine(kClasses + verbPath) + L"\\command", L"\"" + folder + L"\\scan.exe\" \"%1\"");
    const std::wstring otherVerb = Registrations::Name(L"BarScan");
    reg.Machine(reg.OwnMachine(kClasses + L"exefile\\shell\\" + otherVerb) + L"\\command", L"C:\\Bar\\scan.exe");

    TIconList images;
    TRegeditScanClasses scan(EntryAt(folder), images);
    RunClassSteps(scan);

    for (const auto& path : {menuPath, dropPath, verbPath}) {
        EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, kClasses + path), 1) << path;
        EXPECT_EQ(KeyCount(scan, HKEY_CLASSES_ROOT, path), 1) << path;
    }
    EXPECT_EQ(CountUnder(scan, HKEY_LOCAL_MACHINE, kClasses + secondDrop), 0);
    EXPECT_EQ(CountUnder(scan, HKEY_LOCAL_MACHINE, kClasses + L"exefile\\shell\\" + otherVerb), 0);
    // The core classes themselves: never, under either root, though the classes rule walks
    // their verbs too.
    for (const auto& core : ReservedClasses()) {
        EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, kClasses + core), 0) << core;
        EXPECT_EQ(KeyCount(scan, HKEY_CLASSES_ROOT, core), 0) << core;
        EXPECT_TRUE(scan.Sets.ProgIds.Contains(core));
    }
    EXPECT_EQ(CountUnder(scan, HKEY_LOCAL_MACHINE, kClasses + L"exefile"), 3);  // verb, command, its value
}
