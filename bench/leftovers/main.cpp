// A leftover scan of one program on a machine with a busy registry and large data trees,
// against plain walks of the same trees in the same run. Each part prints its own figures;
// the full scan at the end is set against the sum of the parts' floors, and a batch of ten
// programs against one program's scan.

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "inventory/program_places.h"
#include "platform/registry.h"
#include "leftovers/bench_world.h"
#include "leftovers/exclusion.h"
#include "leftovers/path_elements.h"
#include "leftovers/scheduled_tasks.h"
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

// The scanned program; a batch adds programs 1, 2, … beside it, each in a folder of its own.
ScannedProgram MakeProgram(int number = 0) {
    const std::wstring id = std::to_wstring(::GetCurrentProcessId());
    const std::wstring suffix = number ? L" " + std::to_wstring(number) : L"";
    ScannedProgram program;
    program.DisplayName = L"Benchmark Scan Target " + id + suffix;
    program.Publisher = L"Tarvo Bench Works";
    program.InstallFolder = platform::GetTempFolder() + L"\\TarvoBenchLeftovers-" + id + suffix + L"\\Scan Target";
    program.UninstallKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TarvoBenchScanTarget" + id +
                               (number ? L"-" + std::to_wstring(number) : L"");
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

// Today's places: every task file read whole, the Task Scheduler's cache keys in the native
// view, and both environment keys' values.
unsigned long long ReadTaskFiles(const std::wstring& folder) {
    unsigned long long files = 0;
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    for (bool found = finder.FindFirst(folder + L"\\*", data); found; found = finder.FindNext(data)) {
        if (data.cFileName[0] == L'.') continue;
        const std::wstring path = folder + L"\\" + data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            files += ReadTaskFiles(path);
        else if (platform::ReadFileBytes(path))
            ++files;
    }
    return files;
}

FloorFigures TodaysPlacesFloor(const ScannedProgram&) {
    FloorFigures floor;
    CallCounter::Reset();
    Stopwatch watch;
    unsigned long long files = 0;
    for (const auto& folder : leftovers::TaskFolders()) files += ReadTaskFiles(folder);
    const auto native = settings::IsWow64() ? platform::RegistryView::Wow64_64Key : platform::RegistryView::Default;
    unsigned long long keys = WalkKeyTree(HKEY_LOCAL_MACHINE, leftovers::kTaskCacheKey, native, true);
    keys += WalkKeyTree(HKEY_CURRENT_USER, leftovers::kUserEnvironmentKey, platform::RegistryView::Default, true);
    keys += WalkKeyTree(HKEY_LOCAL_MACHINE, leftovers::kMachineEnvironmentKey, platform::RegistryView::Default, true);
    floor.Seconds = watch.ElapsedSeconds();
    floor.Calls = CallCounter::RegistryTotal();
    PrintHeading("tasks and environment");
    PrintFigure("floor: task files read", static_cast<double>(files), "files");
    PrintFigure("floor: keys walked", static_cast<double>(keys), "keys");
    PrintFigure("floor: time", floor.Seconds * 1000.0, "ms");
    return floor;
}

// Everything the user would see of a tree, one line per node, so two trees compare as text.
void DumpNode(const leftovers::TTreeNode& node, int depth, std::wstring& out) {
    const auto& d = node.Data;
    out += std::wstring(static_cast<std::size_t>(depth), L' ') + node.Caption + L"|" + std::to_wstring(node.Image) +
           L"|" + std::to_wstring(static_cast<int>(d.ItemKind)) + (d.View64 ? L"|64|" : L"|32|") +
           platform::RootName(d.RootKey) + L"|" + d.KeyPath + L"|" + d.ValueName + L"|" + d.ValueData + L"|" +
           d.FilePath + L"|" + std::to_wstring(d.FileSize) + L"|" + std::to_wstring(static_cast<int>(d.FileKind)) +
           L"|" + std::to_wstring(d.TreeImage) + L"|" + std::to_wstring(static_cast<int>(d.NodeKind)) + L"\n";
    for (const auto& child : node.Children) DumpNode(*child, depth + 1, out);
}

std::wstring DumpTree(const leftovers::TResultTree& tree) {
    std::wstring out;
    for (const auto& program : tree.Programs) DumpNode(*program, 0, out);
    for (const auto& folder : tree.KeepFolders) out += L"keep " + folder + L"\n";
    return out;
}

// Ten programs removed at once: one scan after another against the batch scan, which must
// give the same tree byte for byte.
void RunBatchPart(const ScannedProgram& first, const inventory::TSoftInfo& firstEntry,
                  const leftovers::ScanOptions& options, double oneScanSeconds) {
    constexpr int kBatch = 10;
    std::vector<ScannedProgram> programs{first};
    std::vector<inventory::TSoftInfo> entries{firstEntry};
    for (int i = 1; i < kBatch; ++i) {
        programs.push_back(MakeProgram(i));
        if (!InstallProgram(programs.back())) std::printf("cannot install batch program %d\n", i);
        entries.push_back(programs.back().Entry());
        entries.back().UninstallString = L"\"" + programs.back().InstallFolder + L"\\uninstall.exe\"";
    }
    std::vector<const inventory::TSoftInfo*> batch;
    for (const auto& entry : entries) batch.push_back(&entry);

    leftovers::TResultTree separate;
    leftovers::TIconList separateImages;
    CallCounter::Reset();
    Stopwatch separateWatch;
    int separateFound = 0;
    for (const auto* entry : batch) separateFound += leftovers::ScanLeftovers(entry, separate, {}, separateImages, options);
    const double separateSeconds = separateWatch.ElapsedSeconds();
    const auto separateCalls = CallCounter::RegistryTotal() + CallCounter::FileSystemTotal();

    leftovers::TResultTree together;
    leftovers::TIconList togetherImages;
    CallCounter::Reset();
    Stopwatch batchWatch;
    int batchFound = 0;
    for (const int found : leftovers::ScanLeftoversBatch(batch, together, togetherImages, options)) batchFound += found;
    const double batchSeconds = batchWatch.ElapsedSeconds();
    const auto batchCalls = CallCounter::RegistryTotal() + CallCounter::FileSystemTotal();

    PrintHeading("batch scan of ten programs");
    PrintFigure("findings, ten separate scans", separateFound, "");
    PrintFigure("findings, batch scan", batchFound, "");
    PrintFigure("time, one program's scan", oneScanSeconds * 1000.0, "ms");
    PrintFigure("time, ten separate scans", separateSeconds * 1000.0, "ms");
    PrintFigure("time, batch scan", batchSeconds * 1000.0, "ms");
    PrintFigure("calls, ten separate scans", static_cast<double>(separateCalls), "calls");
    PrintFigure("calls, batch scan", static_cast<double>(batchCalls), "calls");
    if (oneScanSeconds > 0) PrintFigure("batch / one program's scan", batchSeconds / oneScanSeconds, "x");
    const bool same = DumpTree(separate) == DumpTree(together);
    std::printf("  trees of the batch and of the separate scans: %s\n", same ? "identical" : "DIFFERENT");
    for (std::size_t i = 1; i < programs.size(); ++i) RemoveProgram(programs[i]);
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
    for (auto part : {RunClassesPart, RunSystemPart, RunFilesPart, OtherViewFloor, TodaysPlacesFloor}) {
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

    RunBatchPart(program, entry, options, seconds);
    RunOrphansPart();

    RemoveFilesPart();
    RemoveSystemPart();
    RemoveClassesPart();
    RemoveProgram(program);
    return 0;
}
