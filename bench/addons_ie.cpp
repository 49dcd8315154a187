// Internet Explorer's add-on scan over 500 registrations in each registry view (a third each
// helper objects, toolbars and downloaded ActiveX controls, all served by one library),
// beside a plain walk that opens and reads the same keys once. Prints both times, their
// ratio, and the scan with and without the user's store.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "addons/ie_browser_cleaner.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "platform/shell.h"

using namespace tarvo;
using namespace tarvo::addons;
using platform::RegistryKey;
using platform::RegistryView;

namespace {

int kPerView = 500;  // a first argument changes it

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Registrations {
    std::vector<platform::RegistryLocation> keys;
    std::vector<std::pair<RegistryView, std::wstring>> toolbarValues;

    void Write(RegistryView view, const std::wstring& server) {
        for (int i = 0; i < kPerView; ++i) {
            const std::wstring clsid = platform::NewGuidText(true);
            const std::wstring classKey = L"SOFTWARE\\Classes\\CLSID\\" + clsid;
            RegistryKey key;
            (void)key.Create(HKEY_LOCAL_MACHINE, classKey, KEY_READ | KEY_WRITE, view);
            (void)key.SetString(L"", L"Bench add-on " + std::to_wstring(i));
            (void)key.Create(HKEY_LOCAL_MACHINE, classKey + L"\\InprocServer32", KEY_READ | KEY_WRITE, view);
            (void)key.SetString(L"", server);
            keys.push_back({HKEY_LOCAL_MACHINE, classKey, view});
            if (i % 3 == 1) {
                (void)key.Create(HKEY_LOCAL_MACHINE, kIEToolbarKey, KEY_READ | KEY_WRITE, view);
                (void)key.SetValue(clsid, REG_BINARY, nullptr, 0);
                toolbarValues.emplace_back(view, clsid);
                continue;
            }
            const std::wstring list = std::wstring(i % 3 == 0 ? kIEBhoKey : kIEDistributionUnitsKey) + L"\\" + clsid;
            (void)key.Create(HKEY_LOCAL_MACHINE, list, KEY_READ | KEY_WRITE, view);
            keys.push_back({HKEY_LOCAL_MACHINE, list, view});
        }
    }
    ~Registrations() {
        for (const auto& key : keys) (void)platform::DeleteKey(key);
        for (const auto& [view, name] : toolbarValues)
            (void)platform::DeleteValue({HKEY_LOCAL_MACHINE, kIEToolbarKey, view}, name);
    }
};

// What any scan must do at least: list each key, and open and read each class and server.
std::size_t PlainWalk(bool is64) {
    std::size_t read = 0;
    const auto readClass = [&](const std::wstring& clsid, RegistryView view) {
        RegistryKey key;
        if (key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\CLSID\\" + clsid, KEY_READ, view) == ERROR_SUCCESS)
            read += key.QueryString(L"").value_or(L"").size();
        if (key.Open(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\CLSID\\" + clsid + L"\\InprocServer32", KEY_READ, view) ==
            ERROR_SUCCESS)
            read += platform::FileExists(key.QueryString(L"").value_or(L"")) ? 1 : 0;
    };
    for (const auto view : {RegistryView::Default, RegistryView::Wow64_64Key}) {
        if (platform::Is64(view) && !is64) break;
        RegistryKey list;
        if (list.Open(HKEY_LOCAL_MACHINE, kIEToolbarKey, KEY_READ, view) == ERROR_SUCCESS)
            for (const auto& name : list.ValueNames()) readClass(name, view);
        for (const wchar_t* path : {kIEBhoKey, kIEDistributionUnitsKey})
            if (list.Open(HKEY_LOCAL_MACHINE, path, KEY_READ, view) == ERROR_SUCCESS)
                for (const auto& name : list.SubKeyNames()) readClass(name, view);
    }
    return read;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1) kPerView = std::max(1, _wtoi(argv[1]));
    const std::wstring folder = platform::GetTempFolder() + L"\\TarvoBenchIE-" + platform::NewGuidText(false);
    (void)platform::CreateDirectoryOf(folder);
    const std::wstring exe = platform::GetModuleFilePath();
    const std::wstring server = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"sqlite3.dll";
    platform::SqliteLibrary sqlite;
    if (!sqlite.Load(server)) {
        std::printf("sqlite3.dll missing beside the benchmark\n");
        return 1;
    }
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    {
        Registrations registrations;
        registrations.Write(RegistryView::Default, server);
        if (wow64) registrations.Write(RegistryView::Wow64_64Key, server);

        const int rounds = 9;
        double best[3] = {1e9, 1e9, 1e9};
        std::size_t items = 0, read = 0;
        for (int r = 0; r < rounds; ++r) {
            double start = Seconds();
            read += PlainWalk(wow64 != FALSE);
            best[0] = std::min(best[0], Seconds() - start);
            for (int withStore = 0; withStore < 2; ++withStore) {
                CleanerEnvironment env;
                env.is64 = wow64 != FALSE;
                env.sqlite = withStore ? &sqlite : nullptr;
                env.appDataFolder = folder;
                TIEBrowserCleaner cleaner(env);
                start = Seconds();
                cleaner.Scan();  // as the page runs it: one read lock on the store for the whole scan
                best[1 + withStore] = std::min(best[1 + withStore], Seconds() - start);
                items = cleaner.Items().size();
            }
        }
        std::printf("IE add-on scan, %d registrations per view, %zu items (best of %d)\n", kPerView, items, rounds);
        std::printf("plain walk %8.1f ms\n", best[0] * 1000);
        std::printf("scan       %8.1f ms  ratio %.2f  (no store)\n", best[1] * 1000, best[1] / best[0]);
        std::printf("scan       %8.1f ms  ratio %.2f  (with the store)\n", best[2] * 1000, best[2] / best[0]);
        if (read == 0) std::printf("nothing read\n");
    }
    (void)platform::ShellDeleteFolderTree(folder);
    return 0;
}
