// A leftover scan of one program on a machine with a busy registry and large data trees,
// against plain walks of the same trees in the same run. Each part prints its own figures;
// the full scan at the end is set against the sum of the parts' floors.

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "inventory/program_places.h"
#include "platform/registry.h"
#include "leftovers/bench_world.h"
#include "leftovers/exclusion.h"
#include "leftovers/scan_driver.h"
#include "platform/call_counter.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "settings/system_info.h"
#include "support/bench_report.h"

using namespace tarvo;
using namespace tarvo::bench;
using platform::CallCounter;

namespace {

ScannedProgram MakeProgram() {
    const std::wstring id = std::to_wstring(::GetCurrentProcessId());
    ScannedProgram program;
    program.DisplayName = L"Benchmark Scan Target " + id;
    program.Publisher = L"Tarvo Bench Works";
    program.InstallFolder = platform::GetTempFolder() + L"\\TarvoBenchLeftovers-" + id + L"\\Scan Target";
    program.UninstallKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarvoBenchScanTarget" + id;
    return program;
}

bool InstallProgram(const ScannedProgram& program) {
    const auto slash = program.InstallFolder.find_last_of(L'\\');
    if (!platform::CreateDirectoryOf(program.InstallFolder.substr(0, slash)) ||
        !platform::CreateDirectoryOf(program.InstallFolder))
        return false;
    platform::RegistryKey key;
    if (key.Create(HKEY_LOCAL_MACHINE, program.UninstallKeyPath) != ERROR_SUCCESS) return false;
    return key.SetString(L"DisplayName", program.DisplayName) == ERROR_SUCCESS &&
           key.SetString(L"Publisher", program.Publisher) == ERROR_SUCCESS &&
           key.SetString(L"InstallLocation", program.InstallFolder) == ERROR_SUCCESS &&
           key.SetString(L"UninstallString", L"\"" + program.InstallFolder + L"\\uninstall.exe\"") == ERROR_SUCCESS;
}

void RemoveProgram(const ScannedProgram& program) {
    (void)platform::DeleteKeyTree(HKEY_LOCAL_MACHINE, program.UninstallKeyPath, platform::RegistryView::Default);
    const auto slash = program.InstallFolder.find_last_of(L'\\');
    (void)platform::RemoveDirectoryOf(program.InstallFolder);
    (void)platform::RemoveDirectoryOf(program.InstallFolder.substr(0, slash));
}

// A plain walk of a key tree in one view: every subkey opened and enumerated and, with
// `values`, every value read; the floors of the parts walk classes and vendor keys the same way.
unsigned long long WalkKeyTree(HKEY root, const std::wstring& path, platform::RegistryView view, bool values) {
    platform::RegistryKey key;
    if (key.Open(root, path, KEY_READ, view) != ERROR_SUCCESS) return 0;
    unsigned long long keys = 1;
    if (values)
        for (const auto& value : key.ValueNames()) (void)key.QueryValue(value);
    for (const auto& child : key.SubKeyNames()) {
        if (_wcsicmp(child.c_str(), L"Wow6432Node") == 0) continue;
        keys += WalkKeyTree(root, path + L"\\" + child, view, values);
    }
    return keys;
}

// What the second pass in the other registry view reads on 64-bit Windows: that view's
// classes, its vendor area (less the keys the walk skips), Run and App Paths.
FloorFigures OtherViewFloor(const ScannedProgram&) {
    FloorFigures floor;
    if (!settings::IsWow64()) return floor;
    const auto view = platform::RegistryView::Wow64_64Key;
    CallCounter::Reset();
    Stopwatch watch;
    unsigned long long keys = WalkKeyTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes", view, false);
    keys += WalkKeyTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", view, true);
    keys += WalkKeyTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths", view, true);
    platform::RegistryKey software;
    if (software.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE", KEY_READ, view) == ERROR_SUCCESS)
        for (const auto& vendor : software.SubKeyNames())
            if (!leftovers::IsSkippedVendorKey(vendor))
                keys += WalkKeyTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\" + vendor, view, true);
    floor.Seconds = watch.ElapsedSeconds();
    floor.Calls = CallCounter::RegistryTotal();
    PrintHeading("the other registry view");
    PrintFigure("floor: keys walked", static_cast<double>(keys), "keys");
    PrintFigure("floor: time", floor.Seconds * 1000.0, "ms");
    PrintFigure("floor: registry calls", static_cast<double>(floor.Calls), "calls");
    return floor;
}

}  // namespace

int wmain() {
    const ScannedProgram program = MakeProgram();
    if (!InstallProgram(program)) {
        std::printf("cannot install the scanned program\n");
        RemoveProgram(program);
        return 1;
    }
    FloorFigures floor;
    for (auto part : {RunClassesPart, RunSystemPart, RunFilesPart, OtherViewFloor}) {
        const FloorFigures figures = part(program);
        floor.Seconds += figures.Seconds;
        floor.Calls += figures.Calls;
    }

    inventory::TSoftInfo entry = program.Entry();
    entry.UninstallString = L"\"" + program.InstallFolder + L"\\uninstall.exe\"";
    // The catalogue of a well-filled machine, which every finding is checked against.
    std::vector<inventory::TProgramPlace> catalogue{{entry.DisplayName, program.InstallFolder, entry.Publisher}};
    const std::wstring programFiles = platform::GetSpecialFolderPath(CSIDL_PROGRAM_FILES);
    for (int i = 0; i < 300; ++i)
        catalogue.push_back({L"Bench Neighbour " + std::to_wstring(i), programFiles + L"\\Bench Neighbour " + std::to_wstring(i), {}});
    leftovers::ScanOptions options;
    options.catalogue = &catalogue;
    leftovers::TResultTree tree;
    leftovers::TIconList images;
    CallCounter::Reset();
    Stopwatch watch;
    const int found = leftovers::ScanLeftovers(&entry, tree, {}, images, options);
    const double seconds = watch.ElapsedSeconds();
    PrintHeading("full scan of the benchmark world");
    PrintFigure("findings", found, "");
    PrintFigure("time", seconds * 1000.0, "ms");
    PrintFigure("registry + file-system calls", static_cast<double>(CallCounter::RegistryTotal() + CallCounter::FileSystemTotal()), "calls");
    PrintCallCounts("calls by kind");
    PrintFigure("floor: plain walks of every tree it reads", floor.Seconds * 1000.0, "ms");
    PrintFigure("floor calls", static_cast<double>(floor.Calls), "calls");
    if (floor.Seconds > 0) PrintFigure("time / floor", seconds / floor.Seconds, "x");

    RemoveFilesPart();
    RemoveSystemPart();
    RemoveClassesPart();
    RemoveProgram(program);
    return 0;
}
