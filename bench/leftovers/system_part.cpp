// The system part of the leftover benchmark: 500 services, a vendor area of 100,000 values
// under "\SOFTWARE" of both the machine and the user, and 2,000 Run, App Paths and firewall
// entries. Its floor is one plain walk (open, every value with its data, every subkey) of the
// trees the installer, service and value rules read; the rules run against it in the same run.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "leftovers/bench_world.h"
#include "leftovers/exclusion.h"
#include "leftovers/rule_families.h"
#include "leftovers/system_rule_steps.h"
#include "platform/call_counter.h"
#include "platform/registry.h"
#include "support/bench_report.h"

namespace tarvo::bench {

namespace {

using platform::CallCounter;
using platform::RegistryKey;
using platform::RegistryView;

constexpr int kServices = 500;
constexpr int kVendors = 100;            // per root
constexpr int kProductsPerVendor = 10;   // each with kValuesPerProduct values
constexpr int kValuesPerProduct = 100;   // 100 x 10 x 100 = 100,000 values per root
constexpr int kRunValues = 350;          // per root
constexpr int kAppPaths = 600;           // keys
constexpr int kFirewallValues = 700;     // 2 x 350 + 600 + 700 = 2,000 entries

const wchar_t kServicesPath[] = L"SYSTEM\\CurrentControlSet\\services";
const wchar_t kRun[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const wchar_t kFirewall[] = L"SYSTEM\\CurrentControlSet\\services\\SharedAccess\\Parameters\\FirewallPolicy\\FirewallRules";

// What this part wrote, so it can be removed again: keys by root and path, values by key.
struct World {
    std::wstring tag;
    std::vector<std::pair<HKEY, std::wstring>> keys;
    std::vector<std::pair<HKEY, std::wstring>> valueKeys;  // keys holding values named tag-…
};
World g_world;

bool Write(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& data) {
    RegistryKey key;
    return key.Create(root, path) == ERROR_SUCCESS && key.SetString(name, data) == ERROR_SUCCESS;
}

// Every fiftieth entry points into the program's folder, the rest into folders of their own.
std::wstring Target(const ScannedProgram& program, int i, const wchar_t* file) {
    if (i % 50 == 7) return program.InstallFolder + L"\\" + file;
    return L"C:\\Program Files\\Bench Other " + std::to_wstring(i) + L"\\" + file;
}

bool BuildWorld(const ScannedProgram& program) {
    World& w = g_world;
    w.tag = L"TarvoBenchSys-" + std::to_wstring(::GetCurrentProcessId());
    for (int i = 0; i < kServices; ++i) {
        const std::wstring path = std::wstring(kServicesPath) + L"\\" + w.tag + L"-svc" + std::to_wstring(i);
        w.keys.push_back({HKEY_LOCAL_MACHINE, path});
        RegistryKey key;
        if (key.Create(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS) return false;
        (void)key.SetString(L"ImagePath", Target(program, i, L"service.exe"), REG_EXPAND_SZ);
        (void)key.SetString(L"DisplayName", L"Bench service " + std::to_wstring(i));
        (void)key.SetDword(L"Start", 3);
        (void)key.SetDword(L"Type", 16);
        if (!Write(HKEY_LOCAL_MACHINE, path + L"\\Parameters", L"Level", L"normal")) return false;
    }
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        for (int v = 0; v < kVendors; ++v) {
            const std::wstring vendor = L"SOFTWARE\\" + w.tag + L"-Vendor" + std::to_wstring(v);
            w.keys.push_back({root, vendor});
            for (int p = 0; p < kProductsPerVendor; ++p) {
                RegistryKey key;
                if (key.Create(root, vendor + L"\\Product" + std::to_wstring(p) + L"\\Settings") != ERROR_SUCCESS)
                    return false;
                for (int i = 0; i < kValuesPerProduct; ++i) {
                    const int n = (v * kProductsPerVendor + p) * kValuesPerProduct + i;
                    const std::wstring name = L"Value" + std::to_wstring(i);
                    if (i % 4 == 0)
                        (void)key.SetDword(name, static_cast<DWORD>(n));
                    else
                        (void)key.SetString(name, n % 997 == 3 ? program.InstallFolder : Target(program, n + 1, L"data.bin"));
                }
            }
        }
        for (int i = 0; i < kRunValues; ++i)
            if (!Write(root, kRun, w.tag + L"-" + std::to_wstring(i), L"\"" + Target(program, i, L"tray.exe") + L"\" /min"))
                return false;
        w.valueKeys.push_back({root, kRun});
    }
    for (int i = 0; i < kAppPaths; ++i) {
        const std::wstring path = std::wstring(kAppPathsKey) + L"\\" + w.tag + L"-" + std::to_wstring(i) + L".exe";
        w.keys.push_back({HKEY_LOCAL_MACHINE, path});
        if (!Write(HKEY_LOCAL_MACHINE, path, L"", Target(program, i, L"app.exe"))) return false;
    }
    for (int i = 0; i < kFirewallValues; ++i)
        if (!Write(HKEY_LOCAL_MACHINE, kFirewall, w.tag + L"-" + std::to_wstring(i),
                   L"v2.10|Action=Allow|Dir=In|App=" + Target(program, i, L"net.exe") + L"|"))
            return false;
    w.valueKeys.push_back({HKEY_LOCAL_MACHINE, kFirewall});
    return true;
}

// One plain walk: every key opened, every value read with its data, every subkey entered.
class Discard final : public platform::RegistryValueSweep::Visitor {
public:
    void OnValue(std::wstring_view, DWORD, const BYTE*, DWORD) override { ++values; }
    unsigned long long values = 0;
};

struct Walk {
    platform::RegistryValueSweep sweep;
    Discard discard;
    unsigned long long keys = 0;

    void Tree(HKEY parent, const std::wstring& path, bool skipVendorKeys = false) {
        RegistryKey key;
        if (key.Open(parent, path, KEY_READ) != ERROR_SUCCESS) return;
        ++keys;
        (void)sweep.Sweep(key.get(), discard);
        std::wstring name;
        for (DWORD i = 0; key.EnumKey(i, name) == ERROR_SUCCESS; ++i)
            if (!skipVendorKeys || !leftovers::IsSkippedVendorKey(name)) Tree(key.get(), name);
    }
};

FloorFigures PlainWalk(Walk& walk) {
    CallCounter::Reset();
    Stopwatch watch;
    walk.Tree(HKEY_LOCAL_MACHINE, kServicesPath);
    walk.Tree(HKEY_LOCAL_MACHINE, L"SOFTWARE", true);
    walk.Tree(HKEY_CURRENT_USER, L"Software", true);
    // The rest lies inside the trees above or in these of the machine's.
    walk.Tree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    walk.Tree(HKEY_LOCAL_MACHINE, kAppPathsKey);
    walk.Tree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cpls");
    walk.Tree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients");
    walk.Tree(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    walk.Tree(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache");
    return {watch.ElapsedSeconds(), CallCounter::RegistryTotal()};
}

}  // namespace

FloorFigures RunSystemPart(const ScannedProgram& program) {
    PrintHeading("system part: services, vendor areas, Run, App Paths, firewall");
    Stopwatch building;
    if (!BuildWorld(program)) {
        std::printf("cannot build the system part's world\n");
        return {};
    }
    PrintFigure("world built in", building.ElapsedSeconds(), "s");

    Walk walk;
    const FloorFigures floor = PlainWalk(walk);
    PrintFigure("floor: keys walked", static_cast<double>(walk.keys), "");
    PrintFigure("floor: values read", static_cast<double>(walk.discard.values), "");
    PrintFigure("floor: time", floor.Seconds * 1000.0, "ms");
    PrintFigure("floor: registry calls", static_cast<double>(floor.Calls), "calls");

    const inventory::TSoftInfo entry = program.Entry();
    leftovers::TIconList images;
    leftovers::TRegeditScanClasses scan(entry, images);
    CallCounter::Reset();
    Stopwatch watch;
    leftovers::UninstallKeyRules(scan);
    leftovers::ServicesRule(scan);
    leftovers::FirewallRule(scan);
    leftovers::RunKeyRule(scan, HKEY_LOCAL_MACHINE);
    leftovers::RunKeyRule(scan, HKEY_CURRENT_USER);
    leftovers::AppPathsRule(scan);
    leftovers::VendorKeyWalk(scan, HKEY_LOCAL_MACHINE);
    leftovers::VendorKeyWalk(scan, HKEY_CURRENT_USER);
    leftovers::ControlPanelRule(scan);
    leftovers::ClientsRule(scan);
    leftovers::EventLogRule(scan);
    leftovers::DisplayNameCacheRule(scan);
    leftovers::MakerKeysRule(scan);
    const double seconds = watch.ElapsedSeconds();
    const auto calls = CallCounter::RegistryTotal();
    PrintFigure("rules: findings", static_cast<double>(scan.RegResults.size()), "");
    PrintFigure("rules: time", seconds * 1000.0, "ms");
    PrintFigure("rules: registry calls", static_cast<double>(calls), "calls");
    PrintCallCounts("rules: calls by kind");
    if (floor.Calls > 0) PrintFigure("rules / floor, calls", static_cast<double>(calls) / static_cast<double>(floor.Calls), "x");
    if (floor.Seconds > 0) PrintFigure("rules / floor, time", seconds / floor.Seconds, "x");
    return floor;
}

void RemoveSystemPart() {
    World& w = g_world;
    for (const auto& [root, path] : w.keys) (void)platform::DeleteKeyTree(root, path, RegistryView::Default);
    for (const auto& [root, path] : w.valueKeys) {
        RegistryKey key;
        if (key.Open(root, path, KEY_READ | KEY_SET_VALUE) != ERROR_SUCCESS) continue;
        // Our own values only, by their tag.
        std::vector<std::wstring> ours;
        for (const auto& name : key.ValueNames())
            if (name.rfind(w.tag + L"-", 0) == 0) ours.push_back(name);
        for (const auto& name : ours) (void)key.DeleteValue(name);
    }
    w = World();
}

}  // namespace tarvo::bench
