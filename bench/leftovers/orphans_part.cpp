// One full orphan scan of the benchmark world against plain walks of what it reads: the
// uninstall, Run, App Paths, SharedDLLs, classes, services and vendor keys, the shortcut
// folders, and the program and data trees two levels down.

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "inventory/inventory.h"
#include "leftovers/bench_world.h"
#include "leftovers/orphans/orphan_scan.h"
#include "platform/call_counter.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "settings/system_info.h"
#include "support/bench_report.h"

namespace tarvo::bench {

namespace {

using platform::CallCounter;
using platform::RegistryView;

unsigned long long WalkKeys(HKEY root, const std::wstring& path, RegistryView view, int depth) {
    platform::RegistryKey key;
    if (key.Open(root, path, KEY_READ, view) != ERROR_SUCCESS) return 0;
    unsigned long long keys = 1;
    for (const auto& value : key.ValueNames()) (void)key.QueryValue(value);
    if (depth <= 0) return keys;
    for (const auto& child : key.SubKeyNames())
        if (_wcsicmp(child.c_str(), L"Wow6432Node") != 0) keys += WalkKeys(root, path + L"\\" + child, view, depth - 1);
    return keys;
}

unsigned long long WalkFolder(const std::wstring& folder, int depth) {
    platform::FileFinder finder;
    WIN32_FIND_DATAW data{};
    unsigned long long entries = 0;
    if (!finder.FindFirst(folder + L"\\*", data)) return 0;
    do {
        if (platform::IsDotName(data.cFileName)) continue;
        ++entries;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && depth > 0)
            entries += WalkFolder(folder + L"\\" + data.cFileName, depth - 1);
    } while (finder.FindNext(data));
    return entries;
}

FloorFigures OrphanFloor() {
    FloorFigures floor;
    CallCounter::Reset();
    Stopwatch watch;
    unsigned long long keys = 0, files = 0;
    std::vector<RegistryView> views{RegistryView::Default};
    if (settings::IsWow64()) views.push_back(RegistryView::Wow64_64Key);
    const std::wstring cv = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    for (const auto view : views) {
        for (const wchar_t* sub : {L"\\Uninstall", L"\\App Paths"}) keys += WalkKeys(HKEY_LOCAL_MACHINE, cv + sub, view, 1);
        for (const wchar_t* sub : {L"\\Run", L"\\RunOnce", L"\\SharedDLLs"}) keys += WalkKeys(HKEY_LOCAL_MACHINE, cv + sub, view, 0);
        keys += WalkKeys(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes", view, 1);
        keys += WalkKeys(HKEY_LOCAL_MACHINE, L"SOFTWARE", view, 2);
    }
    for (const wchar_t* sub : {L"\\Uninstall", L"\\App Paths"}) keys += WalkKeys(HKEY_CURRENT_USER, cv + sub, {}, 1);
    keys += WalkKeys(HKEY_CURRENT_USER, L"Software\\Classes", {}, 1);
    keys += WalkKeys(HKEY_CURRENT_USER, L"Software", {}, 2);
    keys += WalkKeys(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services", {}, 1);
    for (const int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS})
        files += WalkFolder(platform::GetSpecialFolderPath(csidl), 3);
    for (const int csidl : {CSIDL_PROGRAM_FILES, CSIDL_COMMON_APPDATA, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA})
        files += WalkFolder(platform::GetSpecialFolderPath(csidl), 1);
    const std::wstring native = platform::GetEnvironmentString(L"ProgramW6432");
    if (!native.empty()) files += WalkFolder(native, 1);
    floor.Seconds = watch.ElapsedSeconds();
    floor.Calls = CallCounter::RegistryTotal() + CallCounter::FileSystemTotal();
    PrintFigure("floor: keys walked", static_cast<double>(keys), "keys");
    PrintFigure("floor: files and folders listed", static_cast<double>(files), "entries");
    PrintFigure("floor: time", floor.Seconds * 1000.0, "ms");
    PrintFigure("floor: calls", static_cast<double>(floor.Calls), "calls");
    return floor;
}

}  // namespace

void RunOrphansPart() {
    PrintHeading("orphan scan of the whole machine");
    const FloorFigures floor = OrphanFloor();
    inventory::TSoftList list;
    inventory::Inventory(list);
    CallCounter::Reset();
    Stopwatch watch;
    const leftovers::orphans::TOrphanReport report = leftovers::orphans::ScanOrphans(list);
    const double seconds = watch.ElapsedSeconds();
    PrintFigure("findings", static_cast<double>(report.findings.size()), "");
    PrintFigure("time", seconds * 1000.0, "ms");
    PrintFigure("registry + file-system calls",
                static_cast<double>(CallCounter::RegistryTotal() + CallCounter::FileSystemTotal()), "calls");
    if (floor.Seconds > 0) PrintFigure("time / floor", seconds / floor.Seconds, "x");
}

}  // namespace tarvo::bench
