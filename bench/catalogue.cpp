// The programs page over generated worlds of 500 and 5,000 uninstall keys, with the
// inventory alone as the floor in the same run:
//   - first activation to painted list: catalogue, page and list built and painted once;
//   - a search keystroke (re-filter and repaint) and a re-sort (new sort column, repaint);
//   - private memory per entry, from the difference between the two world sizes.
// The fixture keys are removed afterwards.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "inventory/inventory.h"
#include "platform/files.h"
#include "platform/process_memory.h"
#include "platform/registry.h"
#include "platform/special_folders.h"
#include "shell/programs_page.h"
#include "support/bench_report.h"
#include "ui/window_base.h"

using namespace tarvo;
using namespace tarvo::bench;
using platform::RegistryKey;
using platform::RegistryView;

namespace {

const std::wstring kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t* const kWords[] = {L"Photo", L"Video", L"Office", L"Backup", L"Sync", L"Map", L"Chess", L"Music",
                                 L"Editor", L"Viewer", L"Studio", L"Driver", L"Runtime", L"Toolkit", L"Player"};

std::wstring Prefix() { return L"TarvoBenchCat-" + std::to_wstring(::GetCurrentProcessId()) + L"-"; }

void Build(int count) {
    for (int n = 0; n < count; ++n) {
        RegistryKey key;
        if (key.Create(HKEY_LOCAL_MACHINE, kUninstall + L"\\" + Prefix() + std::to_wstring(n), KEY_READ | KEY_WRITE,
                       RegistryView::Default) != ERROR_SUCCESS)
            continue;
        const std::wstring number = std::to_wstring(n);
        (void)key.SetString(L"DisplayName", std::wstring(kWords[n % 15]) + L" " + kWords[(n / 15) % 15] + L" " + number);
        (void)key.SetString(L"DisplayVersion", L"1." + std::to_wstring(n % 10));
        (void)key.SetString(L"Publisher", L"Bench Publisher " + std::to_wstring(n % 37));
        (void)key.SetString(L"InstallDate", L"2013" + std::wstring(n % 12 < 9 ? L"0" : L"") + std::to_wstring(n % 12 + 1) + L"15");
        (void)key.SetString(L"UninstallString", L"MsiExec.exe /X{BENCH-" + number + L"}");
        (void)key.SetDword(L"EstimatedSize", static_cast<DWORD>(100 + (n * 7919) % 900000));
    }
}

void Remove() {
    RegistryKey uninstall;
    if (uninstall.Open(HKEY_LOCAL_MACHINE, kUninstall, KEY_READ, RegistryView::Default) != ERROR_SUCCESS) return;
    for (const auto& name : uninstall.SubKeyNames())
        if (name.rfind(Prefix(), 0) == 0)
            (void)platform::RegDeleteTree(HKEY_LOCAL_MACHINE, kUninstall + L"\\" + name, RegistryView::Default);
}

void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// A plain top-level window to hold the page, as the main window does.
class Host final : public ui::WindowBase {
public:
    bool Create() {
        return CreateTopLevel(L"TarvoBenchHost", L"bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                              RECT{0, 0, 870, 570});
    }
};

void PaintNow(HWND window) { ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

struct Figures {
    double inventory = 1e30, painted = 1e30, keystroke = 1e30, filterOnly = 1e30, resort = 1e30;
    std::size_t privateBytes = 0;
    std::size_t entries = 0;
};

Figures Measure(int count, const std::wstring& cacheFile) {
    Build(count);
    Figures f;
    for (int round = 0; round < 3; ++round) {
        Stopwatch watch;
        inventory::TSoftList list;
        inventory::Inventory(list);
        f.inventory = std::min(f.inventory, watch.ElapsedSeconds());
        f.entries = list.size();
    }
    for (int round = 0; round < 3; ++round) {
        Host host;
        if (!host.Create()) return f;
        shell::TFrame_Software page;
        page.Create(host.hwnd(), 1, RECT{0, 52, 870, 570}, 96);
        Pump();
        const std::size_t before = platform::PrivateBytesOfThisProcess().value_or(0);

        Stopwatch watch;
        inventory::TSoftwareInfo::Options options;
        options.cacheFile = cacheFile;
        page.BuildCatalogue(options);
        page.SelectAllPrograms();
        page.RestoreSort();
        PaintNow(host.hwnd());
        f.painted = std::min(f.painted, watch.ElapsedSeconds());

        // Let the analysis pass finish so its snapshot is not counted as the catalogue's.
        for (int i = 0; i < 3000 && !page.Catalogue()->AnalysisThread()->IsIdle(); ++i) {
            Pump();
            ::Sleep(5);
        }
        Pump();
        const std::size_t after = platform::PrivateBytesOfThisProcess().value_or(0);
        if (round == 0) f.privateBytes = after > before ? after - before : 0;

        // A typed search: each keystroke re-filters and repaints.
        const std::wstring typed = L"Video Studio 1";
        Stopwatch keys;
        for (std::size_t n = 1; n <= typed.size(); ++n) {
            page.OnSearchText(typed.substr(0, n));
            PaintNow(host.hwnd());
        }
        for (std::size_t n = typed.size(); n-- > 0;) {
            page.OnSearchText(typed.substr(0, n));
            PaintNow(host.hwnd());
        }
        f.keystroke = std::min(f.keystroke, keys.ElapsedSeconds() / static_cast<double>(2 * typed.size()));

        // The same keystrokes without painting: the page's own share.
        Stopwatch filter;
        for (std::size_t n = 1; n <= typed.size(); ++n) page.Page()->SetSearch(typed.substr(0, n));
        for (std::size_t n = typed.size(); n-- > 0;) page.Page()->SetSearch(typed.substr(0, n));
        f.filterOnly = std::min(f.filterOnly, filter.ElapsedSeconds() / static_cast<double>(2 * typed.size()));

        Stopwatch sort;
        for (const int column : {2, 3, 0}) {
            page.Page()->ClickHeader(column, 2);
            page.List().SetRowCount(page.Page()->RowCount(), true);
            PaintNow(host.hwnd());
        }
        f.resort = std::min(f.resort, sort.ElapsedSeconds() / 3);
        ::DestroyWindow(host.hwnd());
        Pump();
    }
    Remove();
    return f;
}

}  // namespace

int wmain() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    const std::wstring cacheFile = platform::GetTempFolder() + L"\\" + Prefix() + L"SoftwareCache.ini";
    Remove();
    std::printf("Programs page over generated uninstall keys (inventory alone as the floor)\n");
    const Figures small = Measure(500, cacheFile);
    const Figures large = Measure(5000, cacheFile);
    (void)platform::DeleteFileOf(cacheFile);

    for (const auto& [name, f] : {std::pair{"500 keys", small}, std::pair{"5,000 keys", large}}) {
        PrintHeading(name);
        PrintFigure("entries in the inventory", static_cast<double>(f.entries), "");
        PrintFigure("inventory alone (best of 3)", f.inventory * 1000, "ms");
        PrintFigure("activation to painted list (best of 3)", f.painted * 1000, "ms");
        PrintFigure("painted list / inventory", f.painted / f.inventory, "x");
        PrintFigure("search keystroke, re-filter + paint", f.keystroke * 1000, "ms");
        PrintFigure("search keystroke, re-filter only", f.filterOnly * 1000, "ms");
        PrintFigure("re-sort + paint", f.resort * 1000, "ms");
        PrintFigure("private memory of catalogue + page", static_cast<double>(f.privateBytes) / 1024, "KB");
    }
    PrintHeading("scaling");
    PrintFigure("keystroke 5,000 / 500", large.keystroke / small.keystroke, "x");
    PrintFigure("re-filter only 5,000 / 500", large.filterOnly / small.filterOnly, "x");
    const double perEntry = (static_cast<double>(large.privateBytes) - static_cast<double>(small.privateBytes)) /
                            static_cast<double>(large.entries - small.entries);
    PrintFigure("private memory per entry", perEntry / 1024, "KB");
    return 0;
}
