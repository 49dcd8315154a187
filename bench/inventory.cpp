// The installed-program inventory over a world of 1,000 uninstall keys (500 in each registry
// view), against the floor: a plain loop that opens the same keys once each and reads the
// same values. Prints both times, their ratio and the registry calls per key, then removes
// the world.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "inventory/inventory.h"
#include "platform/call_counter.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "support/bench_report.h"

using namespace tarvo::platform;
using namespace tarvo::bench;
using tarvo::inventory::TSoftList;

namespace {

constexpr int kKeysPerView = 500;
constexpr int kRuns = 9;
const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t* const kValueNames[] = {L"DisplayName",  L"UninstallString", L"Publisher",     L"SystemComponent",
                                      L"HelpLink",     L"DisplayVersion",  L"URLInfoAbout",  L"URLUpdateInfo",
                                      L"InstallDate",  L"InstallLocation", L"DisplayIcon",   L"EstimatedSize",
                                      L"Readme"};

struct World {
    std::wstring prefix;
    std::vector<std::wstring> folders;
};

// Half the programs look like setup-tool installs, half like Windows Installer products;
// most carry an install folder that exists, as real installs do.
void WriteProgram(HKEY root, RegistryView view, const std::wstring& name, int n, const World& world) {
    RegistryKey key;
    if (key.Create(root, kUninstall + L"\\" + name, KEY_READ | KEY_WRITE, view) != ERROR_SUCCESS) return;
    const std::wstring number = std::to_wstring(n);
    const std::wstring folder = n % 4 == 3 ? L"" : world.folders[static_cast<std::size_t>(n) % world.folders.size()];
    (void)key.SetString(L"DisplayName", L"Bench Program " + number + (view == RegistryView::Default ? L"" : L" x64"));
    (void)key.SetString(L"DisplayVersion", L"1." + std::to_wstring(n % 10) + L"." + number);
    (void)key.SetString(L"Publisher", L"Bench Publisher " + std::to_wstring(n % 37));
    (void)key.SetString(L"InstallDate", L"2013" + std::wstring(n % 12 < 9 ? L"0" : L"") + std::to_wstring(n % 12 + 1) + L"15");
    (void)key.SetString(L"InstallLocation", folder);
    (void)key.SetString(L"URLInfoAbout", L"http://www.example.com/bench/" + number);
    (void)key.SetDword(L"EstimatedSize", static_cast<DWORD>(1000 + n * 37));
    if (n % 2 == 0) {
        (void)key.SetString(L"UninstallString", L"\"" + folder + L"\\unins000.exe\"");
        (void)key.SetString(L"DisplayIcon", folder + L"\\program.exe,0");
        (void)key.SetString(L"HelpLink", L"http://www.example.com/help");
        (void)key.SetDword(L"NoModify", 1);
        (void)key.SetDword(L"NoRepair", 1);
        (void)key.SetString(L"Inno Setup: App Path", folder);
    } else {
        (void)key.SetString(L"UninstallString", L"MsiExec.exe /X{00000000-0000-0000-0000-" + number + L"}");
        (void)key.SetString(L"ModifyPath", L"MsiExec.exe /I{00000000-0000-0000-0000-" + number + L"}");
        (void)key.SetString(L"Comments", L"A program of the benchmark world");
        (void)key.SetString(L"Readme", folder + L"\\readme.txt");
        (void)key.SetDword(L"Language", 1033);
        (void)key.SetDword(L"Version", 0x01000000u + static_cast<DWORD>(n));
        (void)key.SetDword(L"VersionMajor", 1);
        (void)key.SetDword(L"VersionMinor", 0);
        (void)key.SetDword(L"WindowsInstaller", 1);
    }
}

World Build() {
    World world;
    world.prefix = L"TarvoBench-" + std::to_wstring(::GetCurrentProcessId()) + L"-";
    const std::wstring base = GetTempFolder() + L"\\" + world.prefix + L"folders";
    (void)CreateDirectoryOf(base);
    for (int i = 0; i < 20; ++i) {
        world.folders.push_back(base + L"\\Program " + std::to_wstring(i));
        (void)CreateDirectoryOf(world.folders.back());
    }
    for (int n = 0; n < kKeysPerView; ++n) {
        WriteProgram(HKEY_LOCAL_MACHINE, RegistryView::Default, world.prefix + std::to_wstring(n), n, world);
        WriteProgram(HKEY_LOCAL_MACHINE, RegistryView::Wow64_64Key, world.prefix + std::to_wstring(n), n, world);
    }
    return world;
}

void Remove(const World& world) {
    for (const auto view : {RegistryView::Default, RegistryView::Wow64_64Key}) {
        RegistryKey uninstall;
        if (uninstall.Open(HKEY_LOCAL_MACHINE, kUninstall, KEY_READ, view) != ERROR_SUCCESS) continue;
        for (const auto& name : uninstall.SubKeyNames())
            if (name.rfind(world.prefix, 0) == 0) (void)DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstall + L"\\" + name, view);
    }
    for (const auto& folder : world.folders) (void)RemoveDirectoryOf(folder);
    (void)RemoveDirectoryOf(GetTempFolder() + L"\\" + world.prefix + L"folders");
}

// The floor's reading of one key: each value by name through the key's one handle.
unsigned long long QueryByName(const RegistryKey& key) {
    unsigned long long bytes = 0;
    for (const wchar_t* name : kValueNames)
        if (const auto value = key.QueryValue(name)) bytes += value->data.size();
    return bytes;
}

class ByteCounter final : public RegistryValueSweep::Visitor {
public:
    unsigned long long bytes = 0;
    void OnValue(std::wstring_view, DWORD, const BYTE*, DWORD size) noexcept override { bytes += size; }
};

// The floor: the same keys (both roots, both views, every depth) opened once each, their
// subkeys enumerated and the same values read; nothing is interpreted.
unsigned long long Floor(bool sweepValues, unsigned long long& keys) {
    unsigned long long bytes = 0;
    RegistryValueSweep sweep;
    for (const auto view : {RegistryView::Default, RegistryView::Wow64_64Key})
        for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            std::vector<std::wstring> pending{kUninstall};
            std::wstring name;
            for (std::size_t i = 0; i < pending.size(); ++i) {
                RegistryKey key;
                if (key.Open(root, pending[i], KEY_READ, view) != ERROR_SUCCESS) continue;
                ++keys;
                for (DWORD index = 0; key.EnumKey(index, name) == ERROR_SUCCESS; ++index)
                    pending.push_back(pending[i] + L"\\" + name);
                if (sweepValues) {
                    ByteCounter counter;
                    (void)sweep.Sweep(key.get(), counter);
                    bytes += counter.bytes;
                } else {
                    bytes += QueryByName(key);
                }
            }
        }
    return bytes;
}

struct Timing {
    double best = 1e30;
    unsigned long long calls = 0;
    unsigned long long opens = 0;
    unsigned long long fileCalls = 0;
};

// One timed run of a body, keeping the best time and the call counts of the run.
template <typename F>
void MeasureOnce(Timing& timing, F&& body) {
    CallCounter::Reset();
    Stopwatch watch;
    body();
    timing.best = std::min(timing.best, watch.ElapsedSeconds());
    timing.calls = CallCounter::RegistryTotal();
    timing.opens = CallCounter::Get(ApiCall::RegOpenKey);
    timing.fileCalls = CallCounter::FileSystemTotal();
}

void Print(const char* heading, const Timing& t, unsigned long long keys) {
    PrintHeading(heading);
    PrintFigure("time (best of 9 rounds)", t.best * 1000.0, "ms");
    PrintFigure("registry calls", static_cast<double>(t.calls), "calls");
    PrintFigure("registry calls per key", static_cast<double>(t.calls) / static_cast<double>(keys), "");
    PrintFigure("key opens per key", static_cast<double>(t.opens) / static_cast<double>(keys), "");
    PrintFigure("file-system calls", static_cast<double>(t.fileCalls), "calls");
}

}  // namespace

int wmain() {
    std::printf("Inventory of %d uninstall keys (%d per view) against a plain read of the same keys\n",
                2 * kKeysPerView, kKeysPerView);
    const World world = Build();

    unsigned long long keys = 0;
    (void)Floor(true, keys);  // warm the registry caches and count the keys once

    // The machine is shared: the three are interleaved round by round so that a busy
    // moment does not fall on one of them only, and each keeps its best round.
    Timing byName, swept, inventory;
    std::size_t entries = 0, visible = 0;
    for (int run = 0; run < kRuns; ++run) {
        MeasureOnce(byName, [] {
            unsigned long long k = 0;
            (void)Floor(false, k);
        });
        MeasureOnce(swept, [] {
            unsigned long long k = 0;
            (void)Floor(true, k);
        });
        MeasureOnce(inventory, [&] {
            TSoftList list;
            tarvo::inventory::Inventory(list);
            entries = list.size();
            visible = static_cast<std::size_t>(
                std::count_if(list.begin(), list.end(), [](const auto& e) { return !e->Hidden; }));
        });
    }

    PrintFigure("keys read (both roots, both views)", static_cast<double>(keys), "keys");
    PrintFigure("inventory entries", static_cast<double>(entries), "");
    PrintFigure("visible entries", static_cast<double>(visible), "");
    Print("floor: one open per key, values queried by name", byName, keys);
    Print("floor: one open per key, values enumerated once", swept, keys);
    Print("inventory", inventory, keys);
    const double floor = std::min(byName.best, swept.best);
    PrintHeading("ratio");
    PrintFigure("inventory / faster floor", inventory.best / floor, "x");
    PrintFigure("inventory / by-name floor", inventory.best / byName.best, "x");
    PrintCallCounts("inventory calls of the last run");

    Remove(world);
    return 0;
}
