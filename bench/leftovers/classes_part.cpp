// The class part of the leftover benchmark: a machine with 20,000 COM classes (in-process and
// local servers, programmatic IDs, type libraries, verbs and categories as real classes carry
// them), 5,000 programmatic IDs, 3,000 file-name extensions and 2,000 interfaces, plus the
// scanned program's own few. The COM, classes and interface rules are set against one plain
// walk of the classes trees they read, in the same run.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "inventory/soft_info.h"
#include "leftovers/bench_world.h"
#include "leftovers/rule_families.h"
#include "platform/call_counter.h"
#include "platform/registry.h"
#include "support/bench_report.h"

namespace tarvo::bench {

namespace {

using platform::CallCounter;
using platform::RegistryKey;
using platform::RegistryView;

constexpr int kClasses = 20000;
constexpr int kProgIds = 5000;
constexpr int kExtensions = 3000;
constexpr int kInterfaces = 2000;
constexpr int kTypeLibs = 200;

// Every name the part writes starts with one of these, so a run that died half-way is
// tidied up by the next.
constexpr wchar_t kClassPrefix[] = L"{TarvoBench-";
constexpr wchar_t kProgIdPrefix[] = L"TarvoBench.";
constexpr wchar_t kExtensionPrefix[] = L".tarvobench";

std::wstring Numbered(const wchar_t* pattern, int number) {
    wchar_t text[128];
    std::swprintf(text, 128, pattern, number);
    return text;
}

std::wstring ClassName(int i) { return Numbered(L"{TarvoBench-C%05d-0000-0000-000000000000}", i); }
std::wstring TypeLibName(int i) { return Numbered(L"{TarvoBench-L%05d-0000-0000-000000000000}", i); }
std::wstring InterfaceName(int i) { return Numbered(L"{TarvoBench-I%05d-0000-0000-000000000000}", i); }
std::wstring ProgIdName(int i) { return Numbered(L"TarvoBench.Document%05d", i); }
std::wstring VendorFolder(int i) { return Numbered(L"C:\\Program Files\\Bench Vendor %02d\\", i % 50); }

// Writes fast: each key is created relative to its open parent and filled while open.
class Writer {
public:
    explicit Writer(HKEY parent) : parent_(parent) {}
    RegistryKey Key(const std::wstring& path, const std::wstring& defaultValue = {}) {
        RegistryKey key;
        if (key.Create(parent_, path) != ERROR_SUCCESS) {
            ++failures;
            return key;
        }
        if (!defaultValue.empty()) (void)key.SetString({}, defaultValue);
        return key;
    }
    int failures = 0;

private:
    HKEY parent_;
};

void Set(RegistryKey& key, const std::wstring& name, const std::wstring& value) {
    if (key.IsOpen()) (void)key.SetString(name, value);
}

int BuildClasses(HKEY clsid, const std::wstring& programFolder) {
    Writer writer(clsid);
    for (int i = 0; i < kClasses; ++i) {
        RegistryKey c = writer.Key(ClassName(i), Numbered(L"Bench class %d", i));
        if (!c.IsOpen()) continue;
        Writer below(c.get());
        const std::wstring folder = VendorFolder(i);
        if (i % 4 == 3) {
            below.Key(L"LocalServer32", L"\"" + folder + L"server.exe\" /automation");
        } else {
            RegistryKey server = below.Key(L"InprocServer32", folder + Numbered(L"lib%d.dll", i));
            Set(server, L"ThreadingModel", L"Apartment");
        }
        if (i % 4 == 0) {
            below.Key(L"ProgID", ProgIdName(i / 4 % kProgIds) + L".1");
            below.Key(L"VersionIndependentProgID", ProgIdName(i / 4 % kProgIds));
        }
        if (i % 10 == 0) below.Key(L"TypeLib", TypeLibName(i % kTypeLibs));
        if (i % 10 == 5) below.Key(L"Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}");
        if (i % 20 == 0) below.Key(L"shell\\open\\command", L"\"C:\\Program Files\\Viewer\\view.exe\" \"%1\"");
        if (i % 50 == 7) Set(c, L"AppID", ClassName(i));
        writer.failures += below.failures;
    }
    // The scanned program: five classes served from its folder, one found by its verb.
    for (int i = 0; i < 5; ++i) {
        RegistryKey c = writer.Key(Numbered(L"{TarvoBench-S%05d-0000-0000-000000000000}", i), L"Scan target class");
        Writer below(c.get());
        RegistryKey server = below.Key(L"InprocServer32", programFolder + L"\\target.dll");
        Set(server, L"ThreadingModel", L"Both");
        below.Key(L"TypeLib", L"{TarvoBench-SLIB0-0000-0000-000000000000}");
        if (i == 0) below.Key(L"ProgID", L"TarvoBench.ScanTarget");
    }
    RegistryKey verb = writer.Key(L"{TarvoBench-SVERB-0000-0000-000000000000}", L"Scan target verb class");
    Writer below(verb.get());
    below.Key(L"InprocServer32", L"C:\\Windows\\System32\\shell32.dll");
    below.Key(L"shell\\open\\command", L"\"" + programFolder + L"\\target.exe\" \"%1\"");
    return writer.failures + below.failures;
}

int BuildFileClasses(HKEY classes, const std::wstring& programFolder) {
    Writer writer(classes);
    for (int i = 0; i < kProgIds; ++i) {
        RegistryKey p = writer.Key(ProgIdName(i), Numbered(L"Bench document %d", i));
        Writer below(p.get());
        below.Key(L"CLSID", ClassName(i * 4 % kClasses));
        if (i % 5 == 0) below.Key(L"CurVer", ProgIdName(i) + L".1");
        if (i % 3 == 0) below.Key(L"shell\\open\\command", L"\"" + VendorFolder(i) + L"edit.exe\" \"%1\"");
        if (i % 2 == 0) below.Key(L"DefaultIcon", VendorFolder(i) + L"edit.exe,1");
        writer.failures += below.failures;
    }
    for (int i = 0; i < kExtensions; ++i) {
        RegistryKey e = writer.Key(Numbered(L".tarvobench%05d", i), ProgIdName(i % kProgIds));
        if (i % 4 == 0) {
            Writer below(e.get());
            below.Key(L"OpenWithProgids");
            writer.failures += below.failures;
        }
    }
    RegistryKey target = writer.Key(L"TarvoBench.ScanTarget", L"Scan target");
    Writer below(target.get());
    below.Key(L"CLSID", L"{TarvoBench-S00000-0000-0000-000000000000}");
    RegistryKey doc = writer.Key(L"TarvoBench.ScanDocument", L"Scan target document");
    Writer docBelow(doc.get());
    docBelow.Key(L"shell\\open\\command", L"\"" + programFolder + L"\\target.exe\" \"%1\"");
    writer.Key(L".tarvobenchscan", L"TarvoBench.ScanDocument");
    return writer.failures + below.failures + docBelow.failures;
}

int BuildInterfaces(HKEY interfaces, HKEY typeLibs, const std::wstring& programFolder) {
    Writer writer(interfaces);
    for (int i = 0; i < kInterfaces + 10; ++i) {
        const bool own = i >= kInterfaces;
        RegistryKey itf = writer.Key(InterfaceName(i), Numbered(L"IBench%d", i));
        Writer below(itf.get());
        below.Key(L"ProxyStubClsid", L"{00020424-0000-0000-C000-000000000046}");
        below.Key(L"ProxyStubClsid32", L"{00020424-0000-0000-C000-000000000046}");
        below.Key(L"NumMethods", L"7");
        RegistryKey lib = below.Key(L"TypeLib", own ? L"{TarvoBench-SLIB0-0000-0000-000000000000}" : TypeLibName(i % kTypeLibs));
        Set(lib, L"Version", L"1.0");
        writer.failures += below.failures;
    }
    Writer libs(typeLibs);
    for (int i = 0; i <= kTypeLibs; ++i) {
        const bool own = i == kTypeLibs;
        const std::wstring name = own ? L"{TarvoBench-SLIB0-0000-0000-000000000000}" : TypeLibName(i);
        const std::wstring file = own ? programFolder + L"\\target.tlb" : VendorFolder(i) + L"types.tlb";
        RegistryKey lib = libs.Key(name);
        Writer below(lib.get());
        below.Key(L"1.0", L"Bench types");
        below.Key(L"1.0\\0\\win32", file);
        below.Key(L"1.0\\FLAGS", L"0");
        below.Key(L"1.0\\HELPDIR", VendorFolder(i));
        libs.failures += below.failures;
    }
    return writer.failures + libs.failures;
}

struct Run {
    double seconds = 0;
    unsigned long long calls = 0;
    unsigned long long count = 0;  // keys walked or findings
    // The CLSID tree alone, and the COM class rule alone, which reads it.
    double classSeconds = 0;
    unsigned long long classCalls = 0;
};

// The plain walk: every key opened once and its subkeys enumerated, nothing read. The CLSID
// subtree of a classes key is timed on its own.
unsigned long long Walk(HKEY parent, const std::wstring& name, int depth, Run& run) {
    RegistryKey key;
    if (key.Open(parent, name, KEY_ENUMERATE_SUB_KEYS) != ERROR_SUCCESS) return 0;
    unsigned long long keys = 1;
    std::wstring child;
    for (DWORD i = 0; key.EnumKey(i, child) == ERROR_SUCCESS; ++i) {
        if (depth == 0 && _wcsicmp(child.c_str(), L"Wow6432Node") == 0) continue;
        if (depth == 0 && _wcsicmp(child.c_str(), L"CLSID") == 0) {
            const auto callsBefore = CallCounter::RegistryTotal();
            Stopwatch watch;
            keys += Walk(key.get(), child, depth + 1, run);
            run.classSeconds += watch.ElapsedSeconds();
            run.classCalls += CallCounter::RegistryTotal() - callsBefore;
        } else {
            keys += Walk(key.get(), child, depth + 1, run);
        }
    }
    return keys;
}

Run FloorWalk() {
    CallCounter::Reset();
    Stopwatch watch;
    Run run;
    run.count = Walk(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes", 0, run) + Walk(HKEY_CURRENT_USER, L"Software\\Classes", 0, run);
    run.seconds = watch.ElapsedSeconds();
    run.calls = CallCounter::RegistryTotal();
    return run;
}

Run ClassRules(const ScannedProgram& program) {
    inventory::TSoftInfo entry;
    entry.DisplayName = program.DisplayName;
    entry.InstallLocation = program.InstallFolder;
    leftovers::TIconList images;
    leftovers::TRegeditScanClasses scan(entry, images);
    CallCounter::Reset();
    Stopwatch watch;
    leftovers::ComClassRule(scan);
    Run run;
    run.classSeconds = watch.ElapsedSeconds();
    run.classCalls = CallCounter::RegistryTotal();
    leftovers::AppIdKeysRule(scan);
    leftovers::ReservedClassVerbRule(scan);
    leftovers::ClassesRule(scan, HKEY_CURRENT_USER, scan.Sets.UserClasses);
    leftovers::ClassesRule(scan, HKEY_LOCAL_MACHINE, scan.Sets.ProgIds);
    leftovers::InterfaceRule(scan);
    leftovers::ShellExtensionApprovalRule(scan);
    run.seconds = watch.ElapsedSeconds();
    run.calls = CallCounter::RegistryTotal();
    run.count = scan.RegResults.size();
    return run;
}

// Names below root\path that start with one of the part's prefixes.
std::vector<std::wstring> PartNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    RegistryKey key;
    if (key.Open(root, path, KEY_READ) != ERROR_SUCCESS) return names;
    for (const auto& name : key.SubKeyNames())
        for (const wchar_t* prefix : {kClassPrefix, kProgIdPrefix, kExtensionPrefix})
            if (_wcsnicmp(name.c_str(), prefix, wcslen(prefix)) == 0) {
                names.push_back(name);
                break;
            }
    return names;
}

}  // namespace

FloorFigures RunClassesPart(const ScannedProgram& program) {
    RemoveClassesPart();
    PrintHeading("classes part: COM classes, programmatic IDs, extensions, interfaces");
    Stopwatch build;
    RegistryKey clsid, classes, interfaces, typeLibs;
    if (clsid.Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\CLSID") != ERROR_SUCCESS ||
        classes.Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes") != ERROR_SUCCESS ||
        interfaces.Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Interface") != ERROR_SUCCESS ||
        typeLibs.Create(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\TypeLib") != ERROR_SUCCESS) {
        std::printf("  cannot open the classes keys\n");
        return {};
    }
    int failures = BuildClasses(clsid.get(), program.InstallFolder);
    failures += BuildFileClasses(classes.get(), program.InstallFolder);
    failures += BuildInterfaces(interfaces.get(), typeLibs.get(), program.InstallFolder);
    PrintFigure("world built in", build.ElapsedSeconds(), "s");
    if (failures) PrintFigure("keys that could not be written", failures, "");

    // Twice each, alternating; the better of two damps the noise of a shared machine.
    Run floor = FloorWalk();
    Run rules = ClassRules(program);
    const Run floor2 = FloorWalk();
    const Run rules2 = ClassRules(program);
    floor.seconds = std::min(floor.seconds, floor2.seconds);
    floor.classSeconds = std::min(floor.classSeconds, floor2.classSeconds);
    rules.seconds = std::min(rules.seconds, rules2.seconds);
    rules.classSeconds = std::min(rules.classSeconds, rules2.classSeconds);

    PrintFigure("floor: keys walked (both Software\\Classes)", static_cast<double>(floor.count), "keys");
    PrintFigure("floor: time", floor.seconds * 1000.0, "ms");
    PrintFigure("floor: registry calls", static_cast<double>(floor.calls), "calls");
    PrintFigure("class rules: findings", static_cast<double>(rules.count), "");
    PrintFigure("class rules: time", rules.seconds * 1000.0, "ms");
    PrintFigure("class rules: registry calls", static_cast<double>(rules2.calls), "calls");
    PrintCallCounts("class rules: calls by kind");
    PrintFigure("calls / floor (target 1.5)", static_cast<double>(rules2.calls) / static_cast<double>(floor.calls), "x");
    PrintFigure("time / floor (target 1.5)", rules.seconds / floor.seconds, "x");
    PrintFigure("CLSID alone: walk time", floor.classSeconds * 1000.0, "ms");
    PrintFigure("CLSID alone: walk calls", static_cast<double>(floor.classCalls), "calls");
    PrintFigure("CLSID alone: COM class rule time", rules.classSeconds * 1000.0, "ms");
    PrintFigure("CLSID alone: COM class rule calls", static_cast<double>(rules2.classCalls), "calls");
    PrintFigure("CLSID alone: calls / walk", static_cast<double>(rules2.classCalls) / static_cast<double>(floor.classCalls), "x");
    PrintFigure("CLSID alone: time / walk", rules.classSeconds / floor.classSeconds, "x");
    return {floor.seconds, floor.calls};
}

void RemoveClassesPart() {
    for (const wchar_t* path : {L"SOFTWARE\\Classes\\CLSID", L"SOFTWARE\\Classes\\Interface", L"SOFTWARE\\Classes\\TypeLib",
                                L"SOFTWARE\\Classes"}) {
        RegistryKey parent;
        if (parent.Open(HKEY_LOCAL_MACHINE, path, KEY_READ | KEY_WRITE) != ERROR_SUCCESS) continue;
        for (const auto& name : PartNames(HKEY_LOCAL_MACHINE, path))
            (void)platform::DeleteKeyTree(parent.get(), name, RegistryView::Default);
    }
}

}  // namespace tarvo::bench
