// The COM class steps against real registrations: which classes belong to the program (by
// server, in long or short form, or by a verb's command), what hangs off a found class, the
// type libraries and interfaces, and a class registered by Wine's own regsvr32.
#include <gtest/gtest.h>

#include <objbase.h>

#include "class_fixture.h"
#include "leftovers/class_walk.h"
#include "platform/folders.h"
#include "platform/processes.h"

using namespace tarvo::leftovers;
using tarvo::test::EntryAt;
using tarvo::test::kClasses;
using tarvo::test::KeyCount;
using tarvo::test::CountUnder;
using tarvo::test::Registrations;
using tarvo::test::RunClassSteps;
using tarvo::test::ScratchFolder;

namespace {

std::wstring ShortPathOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = ::GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(buffer, length);
}

// A class key of its own under the machine's classes; returns its name.
std::wstring NewClass(Registrations& reg) {
    const std::wstring id = Registrations::Name(L"{TarvoTest");
    reg.OwnMachine(kClasses + L"CLSID\\" + id);
    return id;
}

std::wstring ClassPath(const std::wstring& id, const std::wstring& relative = {}) {
    return kClasses + L"CLSID\\" + id + (relative.empty() ? L"" : L"\\" + relative);
}

}  // namespace

TEST(ComClassRule, ServersInTheFolderInLongOrShortFormAndVerbsFoundByCommandSearch) {
    ScratchFolder scratch;
    const std::wstring folder = scratch.MakeFolder(L"Long Program Folder");
    const std::wstring shortDll = ShortPathOf(scratch.MakeFile(L"Long Program Folder\\server library.dll"));
    ASSERT_NE(shortDll.find(L'~'), std::wstring::npos) << shortDll;

    Registrations reg;
    const std::wstring shortClass = NewClass(reg);
    reg.Machine(ClassPath(shortClass, L"InprocServer32"), shortDll);
    reg.Own(HKEY_CURRENT_USER, L"Software\\Classes\\CLSID\\" + shortClass);
    reg.Set(HKEY_CURRENT_USER, L"Software\\Classes\\CLSID\\" + shortClass, {}, L"per-user part");
    // The uninstaller already took the file: the folder's short name still gives it away,
    // quoted and with an argument too.
    const std::wstring shortFolder = ShortPathOf(folder);
    const std::wstring goneClass = NewClass(reg);
    reg.Machine(ClassPath(goneClass, L"InprocServer32"), shortFolder + L"\\gone.dll");
    const std::wstring goneLocalClass = NewClass(reg);
    reg.Machine(ClassPath(goneLocalClass, L"LocalServer32"), L"\"" + shortFolder + L"\\gone.exe\" /automation");
    // An empty in-process server falls through to the local server, quotes and argument kept.
    const std::wstring localClass = NewClass(reg);
    reg.Machine(ClassPath(localClass, L"InprocServer32"), L"  ");
    reg.Machine(ClassPath(localClass, L"LocalServer32"), L"\"" + folder + L"\\app.exe\" /automation");
    // Server elsewhere, verb in the folder: only the verb key is the program's.
    const std::wstring verbClass = NewClass(reg);
    reg.Machine(ClassPath(verbClass, L"InprocServer32"), L"C:\\windows\\system32\\ole32.dll");
    reg.Machine(ClassPath(verbClass, L"Implemented Categories\\{00021490-0000-0000-C000-000000000046}"), L"");
    reg.Machine(ClassPath(verbClass, L"shell\\open\\command"), L"\"" + folder + L"\\foo.exe\" \"%1\"");
    // A second class matching under the same verb name is its own finding.
    const std::wstring sameVerbClass = NewClass(reg);
    reg.Machine(ClassPath(sameVerbClass, L"shell\\open\\command"), folder + L"\\bar.exe /open");
    // Breadth first: the shallow match wins over a deeper one enumerated earlier.
    const std::wstring depthClass = NewClass(reg);
    reg.Machine(ClassPath(depthClass, L"a\\b\\c\\command"), folder + L"\\deep.exe");
    reg.Machine(ClassPath(depthClass, L"z\\command"), folder + L"\\shallow.exe");
    const std::wstring foreignClass = NewClass(reg);
    reg.Machine(ClassPath(foreignClass, L"InprocServer32"), L"C:\\Other\\Long Program Folder\\x.dll");
    reg.Machine(ClassPath(foreignClass, L"shell\\open\\command"), L"C:\\Other\\x.exe");

    TIconList images;
    TRegeditScanClasses scan(EntryAt(folder), images);
    ComClassRule(scan);

    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, ClassPath(shortClass)), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_CLASSES_ROOT, L"CLSID\\" + shortClass), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_CURRENT_USER, L"Software\\Classes\\CLSID\\" + shortClass), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, ClassPath(localClass)), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, ClassPath(goneClass)), 1) << shortFolder;
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, ClassPath(goneLocalClass)), 1);
    EXPECT_TRUE(scan.Sets.ClassIds.Contains(shortClass));
    EXPECT_TRUE(scan.Sets.ClassIds.Contains(localClass));

    for (const auto& id : {verbClass, sameVerbClass}) {
        EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, ClassPath(id)), 0) << id;
        EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, ClassPath(id, L"shell\\open")), 1) << id;
        EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, ClassPath(id, L"shell\\open\\command")), 1) << id;
        EXPECT_EQ(KeyCount(scan, HKEY_CLASSES_ROOT, L"CLSID\\" + id + L"\\shell\\open"), 1) << id;
        // Recorded under a name of its own, never as the class: later rules must not take
        // a class whose server lies elsewhere for the program's.
        EXPECT_FALSE(scan.Sets.ClassIds.Contains(id));
        EXPECT_TRUE(scan.Sets.ClassIds.Contains(CommandSearchName(id, L"shell\\open")));
    }
    EXPECT_EQ(CountUnder(scan, HKEY_LOCAL_MACHINE, ClassPath(depthClass)), 3);  // z, z\command, its value
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, ClassPath(depthClass, L"z")), 1);
    EXPECT_EQ(CountUnder(scan, HKEY_LOCAL_MACHINE, ClassPath(foreignClass)), 0);
}

TEST(ComClassRule, WhatHangsOffAFoundClassIsReportedOnce) {
    ScratchFolder scratch;
    const std::wstring folder = scratch.MakeFolder(L"Program");
    Registrations reg;
    const std::wstring lib = Registrations::Name(L"{TarvoLib");
    reg.OwnMachine(kClasses + L"TypeLib\\" + lib);
    reg.Machine(kClasses + L"TypeLib\\" + lib + L"\\1.0\\0\\win32", L"C:\\Elsewhere\\foo.tlb");
    const std::wstring appId = Registrations::Name(L"{TarvoApp");
    reg.Machine(reg.OwnMachine(kClasses + L"AppID\\" + appId), L"Foo server");
    const std::wstring exeKey = reg.OwnMachine(kClasses + L"AppID\\" + Registrations::Name(L"foo") + L".exe");
    reg.Machine(exeKey, appId, L"AppID");
    const std::wstring otherExeKey = reg.OwnMachine(kClasses + L"AppID\\" + Registrations::Name(L"bar") + L".exe");
    reg.Machine(otherExeKey, L"{someone else}", L"AppID");
    const std::wstring progId = Registrations::Name(L"TarvoFoo.Document");
    reg.Machine(reg.OwnMachine(kClasses + progId), L"Foo document");

    // Three classes name one library; the first also carries the application and
    // programmatic IDs.
    std::vector<std::wstring> classes;
    for (int i = 0; i < 3; ++i) {
        classes.push_back(NewClass(reg));
        reg.Machine(ClassPath(classes.back(), L"InprocServer32"), folder + L"\\foo.dll");
        reg.Machine(ClassPath(classes.back(), L"TypeLib"), lib);
    }
    reg.Machine(ClassPath(classes[0]), appId, L"AppID");
    reg.Machine(ClassPath(classes[0], L"ProgID"), progId);
    // Empty defaults name nothing: never the whole TypeLib or Classes key.
    const std::wstring emptyClass = NewClass(reg);
    reg.Machine(ClassPath(emptyClass, L"InprocServer32"), folder + L"\\empty.dll");
    reg.Machine(ClassPath(emptyClass, L"TypeLib"), L"");
    reg.Machine(ClassPath(emptyClass, L"ProgID"), L"");

    // Interfaces: two of the found library, one of a library only its file ties to the folder,
    // one decided by a foreign library even though its proxy is found, one by its proxy alone.
    const std::wstring folderLib = Registrations::Name(L"{TarvoLib");
    reg.OwnMachine(kClasses + L"TypeLib\\" + folderLib);
    reg.Machine(kClasses + L"TypeLib\\" + folderLib + L"\\2.0\\FLAGS", L"0");
    reg.Machine(kClasses + L"TypeLib\\" + folderLib + L"\\2.0\\409\\win32", folder + L"\\bar.tlb");
    const std::wstring foreignLib = Registrations::Name(L"{TarvoLib");
    reg.OwnMachine(kClasses + L"TypeLib\\" + foreignLib);
    reg.Machine(kClasses + L"TypeLib\\" + foreignLib + L"\\1.0\\0\\win32", L"C:\\Elsewhere\\x.tlb");
    auto newInterface = [&](const wchar_t* subkey, const std::wstring& value) {
        const std::wstring id = Registrations::Name(L"{TarvoItf");
        reg.OwnMachine(kClasses + L"Interface\\" + id);
        reg.Machine(kClasses + L"Interface\\" + id + L"\\" + subkey, value);
        return id;
    };
    const std::wstring found1 = newInterface(L"TypeLib", lib);
    const std::wstring found2 = newInterface(L"TypeLib", lib);
    const std::wstring byFile = newInterface(L"TypeLib", folderLib);
    const std::wstring foreign = newInterface(L"TypeLib", foreignLib);
    reg.Machine(kClasses + L"Interface\\" + foreign + L"\\ProxyStubClsid32", classes[1]);
    const std::wstring byProxy = newInterface(L"ProxyStubClsid32", classes[2]);

    // Browser and shell registrations of the class.
    const std::wstring bho = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\" + classes[0];
    reg.Machine(reg.OwnMachine(bho), L"Foo helper");
    const std::wstring approved = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
    reg.Machine(approved, L"Foo shell extension", classes[1]);
    reg.OwnValue(HKEY_LOCAL_MACHINE, approved, classes[1]);
    const std::wstring toolbar = L"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
    reg.Machine(toolbar, L"", classes[2]);
    reg.OwnValue(HKEY_LOCAL_MACHINE, toolbar, classes[2]);

    TIconList images;
    TRegeditScanClasses scan(EntryAt(folder), images);
    RunClassSteps(scan);

    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, kClasses + L"TypeLib\\" + lib), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_CLASSES_ROOT, L"TypeLib\\" + lib), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, kClasses + L"TypeLib\\" + lib + L"\\1.0\\0\\win32"), 1);
    for (const auto& id : {found1, found2, byFile, byProxy}) {
        EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, kClasses + L"Interface\\" + id), 1) << id;
        EXPECT_EQ(KeyCount(scan, HKEY_CLASSES_ROOT, L"Interface\\" + id), 1) << id;
    }
    EXPECT_EQ(CountUnder(scan, HKEY_LOCAL_MACHINE, kClasses + L"Interface\\" + foreign), 0);
    EXPECT_EQ(CountUnder(scan, HKEY_LOCAL_MACHINE, kClasses + L"TypeLib\\" + folderLib), 0);  // only its interface

    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, kClasses + L"AppID\\" + appId), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_CLASSES_ROOT, L"AppID\\" + appId), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, exeKey), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, otherExeKey), 0);
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, kClasses + progId), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_CLASSES_ROOT, progId), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, bho), 1);
    int approvedValues = 0, toolbarValues = 0;
    for (const auto& r : scan.RegResults) {
        approvedValues += r.KeyPath == approved && r.ValueName == classes[1];
        toolbarValues += r.KeyPath == toolbar && r.ValueName == classes[2];
    }
    EXPECT_EQ(approvedValues, 1);
    EXPECT_EQ(toolbarValues, 1);

    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, ClassPath(emptyClass)), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes"), 0);
    EXPECT_EQ(CountUnder(scan, HKEY_LOCAL_MACHINE, kClasses + L"TypeLib"),
              CountUnder(scan, HKEY_LOCAL_MACHINE, kClasses + L"TypeLib\\" + lib));
    EXPECT_EQ(CountUnder(scan, HKEY_CLASSES_ROOT, L"TypeLib"), CountUnder(scan, HKEY_CLASSES_ROOT, L"TypeLib\\" + lib));
}

TEST(RunToolbarRule, ReportsTheToolbarValuesAndItsClass) {
    Registrations reg;
    const std::wstring id = NewClass(reg);
    reg.Machine(ClassPath(id, L"InprocServer32"), L"C:\\Toolbar\\bar.dll");
    const std::wstring toolbar = L"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
    reg.Machine(toolbar, L"", id);
    reg.OwnValue(HKEY_LOCAL_MACHINE, toolbar, id);
    const std::wstring webBrowser = L"Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser";
    reg.Set(HKEY_CURRENT_USER, webBrowser, id, L"x");
    reg.OwnValue(HKEY_CURRENT_USER, webBrowser, id);

    TIconList images;
    TRegeditScanClasses scan(EntryAt({}), images);
    RunToolbarRule(scan, L"  " + id + L" ");
    ASSERT_EQ(scan.RegResults.size(), 5u);  // value, class key, server key, its value, user value
    EXPECT_EQ(scan.RegResults[0].KeyPath, toolbar);
    EXPECT_EQ(scan.RegResults[0].ValueName, id);
    EXPECT_EQ(KeyCount(scan, HKEY_CLASSES_ROOT, L"CLSID\\" + id), 1);
    EXPECT_EQ(scan.RegResults[4].RootKey, HKEY_CURRENT_USER);
    EXPECT_EQ(scan.RegResults[4].ValueName, id);

    TRegeditScanClasses blank(EntryAt({}), images);
    RunToolbarRule(blank, L"   ");
    EXPECT_TRUE(blank.RegResults.empty());
}

TEST(ComClassRule, ServerRegisteredByRegsvr32IsFoundAfterItsFilesAreDeleted) {
    // The case is a 32-bit server, registered in the view the scan reads first; the test
    // server is built with the test, so only the 32-bit build has one.
    if constexpr (sizeof(void*) == 8) GTEST_SKIP() << "needs the 32-bit build";
    ScratchFolder scratch;
    const std::wstring folder = scratch.MakeFolder(L"Foo Server");
    const std::wstring exe = tarvo::platform::GetModuleFilePath();
    const std::wstring built = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"com_server\\TarvoTestServer.dll";
    const std::wstring dll = folder + L"\\TarvoTestServer.dll";
    ASSERT_TRUE(::CopyFileW(built.c_str(), dll.c_str(), FALSE)) << built;

    GUID guid{};
    ASSERT_EQ(::CoCreateGuid(&guid), S_OK);
    wchar_t text[64] = {};
    ASSERT_GT(::StringFromGUID2(guid, text, 64), 0);
    const std::wstring classId = text;
    const std::wstring progId = Registrations::Name(L"TarvoTestServer");
    Registrations reg;
    reg.OwnMachine(ClassPath(classId));
    reg.OwnMachine(kClasses + progId);
    // The server reads its names from the environment regsvr32 inherits.
    ASSERT_TRUE(::SetEnvironmentVariableW(L"TARVO_TEST_CLSID", classId.c_str()));
    ASSERT_TRUE(::SetEnvironmentVariableW(L"TARVO_TEST_PROGID", progId.c_str()));
    auto started = tarvo::platform::CreateProcessOf(L"regsvr32.exe /s \"" + dll + L"\"", 0, {}, SW_HIDE);
    ASSERT_TRUE(started);
    EXPECT_EQ(tarvo::platform::WaitForExitCode(started->process.get(), 60000), 0u);
    ASSERT_TRUE(tarvo::platform::RegKeyExists(HKEY_LOCAL_MACHINE, ClassPath(classId, L"InprocServer32"),
                                              tarvo::platform::RegistryView::Default));

    // The uninstaller took the files and the folder; the registration stayed behind.
    ASSERT_TRUE(::DeleteFileW(dll.c_str()));
    ASSERT_TRUE(::RemoveDirectoryW(folder.c_str()));
    TIconList images;
    TRegeditScanClasses scan(EntryAt(folder), images);
    RunClassSteps(scan);
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, ClassPath(classId)), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, ClassPath(classId, L"InprocServer32")), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_CLASSES_ROOT, L"CLSID\\" + classId), 1);
    // Its programmatic ID through the class, once, though the classes rule sees it again.
    EXPECT_EQ(KeyCount(scan, HKEY_LOCAL_MACHINE, kClasses + progId), 1);
    EXPECT_EQ(KeyCount(scan, HKEY_CLASSES_ROOT, progId), 1);
    EXPECT_EQ(CountUnder(scan, HKEY_LOCAL_MACHINE, kClasses + progId), 4);  // key, CLSID subkey, both defaults
}
