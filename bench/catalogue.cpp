// The programs page over generated worlds of 500 and 5,000 uninstall keys, with the
// inventory alone as the floor in the same run:
//   - first activation to painted list: catalogue, page and list built and painted once;
//   - a search keystroke, split into the page's filter, the list's update and the paint it
//     causes, with a search that leaves more than a screenful at both sizes; a re-sort;
//   - private memory per entry, from the difference between the two world sizes.
// The fixture keys are removed afterwards.

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "inventory/inventory.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "platform/registry.h"
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

// Our own keys by default; with the bare stem, also those of an earlier run that died, which
// would otherwise swell the next run's catalogue.
void Remove(const std::wstring& prefix = Prefix()) {
    RegistryKey uninstall;
    if (uninstall.Open(HKEY_LOCAL_MACHINE, kUninstall, KEY_READ, RegistryView::Default) != ERROR_SUCCESS) return;
    for (const auto& name : uninstall.SubKeyNames())
        if (name.rfind(prefix, 0) == 0)
            (void)platform::DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstall + L"\\" + name, RegistryView::Default);
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

// Paints what the last step invalidated, as the message loop would, and nothing more.
void PaintNow(HWND window) { ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

// Every figure is the best of three rounds; a keystroke's figures are its average.
struct Figures {
    double inventory = 1e30, painted = 1e30, resort = 1e30;
    bool windowless = false;  // no desktop to create the window on
    // The best activation's steps: catalogue built, all programs shown, sort restored, painted.
    std::array<double, 4> steps{};
    double filter = 1e30;      // the page logic's new rows
    double listUpdate = 1e30;  // the rows handed to the list: filter, count, header, invalidation
    double paint = 1e30;       // painting what the keystroke invalidated
    double keystroke = 1e30;   // both
    int fewestRows = 0;        // the smallest result of any keystroke
    int rowsPerPage = 0;       // rows the list shows at once
    std::size_t privateBytes = 0;
    std::size_t entries = 0;
};

// Typed, then deleted again: every intermediate text matches a fifteenth or more of the
// names, more than a screenful at either size, so both worlds paint the same rows.
const std::wstring kTyped = L"Video";

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
    std::vector<std::wstring> texts;
    for (std::size_t n = 1; n <= kTyped.size(); ++n) texts.push_back(kTyped.substr(0, n));
    for (std::size_t n = kTyped.size(); n-- > 0;) texts.push_back(kTyped.substr(0, n));
    const double keys = static_cast<double>(texts.size());

    for (int round = 0; round < 3; ++round) {
        Host host;
        if (!host.Create()) {
            f.windowless = true;
            return f;
        }
        shell::TFrame_Software page;
        page.Create(host.hwnd(), 1, RECT{0, 52, 870, 570}, 96);
        Pump();
        const std::size_t before = platform::PrivateBytesOfThisProcess().value_or(0);

        Stopwatch watch;
        inventory::TSoftwareInfo::Options options;
        options.cacheFile = cacheFile;
        page.BuildCatalogue(options);
        const double built = watch.ElapsedSeconds();
        page.SelectAllPrograms();
        const double shown = watch.ElapsedSeconds();
        page.RestoreSort();
        const double sorted = watch.ElapsedSeconds();
        PaintNow(host.hwnd());
        const double painted = watch.ElapsedSeconds();
        if (painted < f.painted) {
            f.painted = painted;
            f.steps = {built, shown - built, sorted - shown, painted - sorted};
        }

        // Let the analysis pass finish so its snapshot is not counted as the catalogue's.
        for (int i = 0; i < 3000 && !page.Catalogue()->AnalysisThread()->IsIdle(); ++i) {
            Pump();
            ::Sleep(5);
        }
        Pump();
        const std::size_t after = platform::PrivateBytesOfThisProcess().value_or(0);
        if (round == 0) f.privateBytes = after > before ? after - before : 0;
        f.rowsPerPage = static_cast<int>(::SendMessageW(page.List().list(), LVM_GETCOUNTPERPAGE, 0, 0));

        // The page logic alone.
        Stopwatch filter;
        for (const auto& text : texts) page.Page()->SetSearch(text);
        f.filter = std::min(f.filter, filter.ElapsedSeconds() / keys);

        // What a keystroke in the search box does, then the paint it causes.
        double update = 0, paint = 0;
        int fewest = count * 2;
        for (const auto& text : texts) {
            Stopwatch step;
            page.OnSearchText(text);
            update += step.ElapsedSeconds();
            fewest = std::min(fewest, page.Page()->RowCount());
            Stopwatch painting;
            PaintNow(host.hwnd());
            paint += painting.ElapsedSeconds();
        }
        f.listUpdate = std::min(f.listUpdate, update / keys);
        f.paint = std::min(f.paint, paint / keys);
        f.keystroke = std::min(f.keystroke, (update + paint) / keys);
        f.fewestRows = fewest;

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
    Remove(L"TarvoBenchCat-");
    std::printf("Programs page over generated uninstall keys (inventory alone as the floor)\n");
    const Figures small = Measure(500, cacheFile);
    const Figures large = small.windowless ? small : Measure(5000, cacheFile);
    (void)platform::DeleteFileOf(cacheFile);
    if (small.windowless || large.windowless) {
        // Without a desktop there is nothing to paint, and no figure would mean anything.
        std::printf("no window could be created: run under a display (scripts/display.sh)\n");
        Remove();
        return 1;
    }

    for (const auto& [name, f] : {std::pair{"500 keys", small}, std::pair{"5,000 keys", large}}) {
        PrintHeading(name);
        PrintFigure("entries in the inventory", static_cast<double>(f.entries), "");
        PrintFigure("inventory alone (best of 3)", f.inventory * 1000, "ms");
        PrintFigure("activation to painted list (best of 3)", f.painted * 1000, "ms");
        PrintFigure("painted list / inventory", f.painted / f.inventory, "x (target <= 1.5)");
        PrintFigure("  catalogue built (inventory, cache, worker)", f.steps[0] * 1000, "ms");
        PrintFigure("  all programs shown", f.steps[1] * 1000, "ms");
        PrintFigure("  saved sort restored", f.steps[2] * 1000, "ms");
        PrintFigure("  painted", f.steps[3] * 1000, "ms");
        PrintFigure("rows per page", f.rowsPerPage, "");
        PrintFigure("fewest rows any keystroke left", f.fewestRows, "");
        PrintFigure("search keystroke: filter alone", f.filter * 1000, "ms");
        PrintFigure("search keystroke: filter + list update", f.listUpdate * 1000, "ms");
        PrintFigure("search keystroke: paint", f.paint * 1000, "ms");
        PrintFigure("search keystroke: all", f.keystroke * 1000, "ms");
        PrintFigure("re-sort + paint", f.resort * 1000, "ms");
        PrintFigure("private memory of catalogue + page", static_cast<double>(f.privateBytes) / 1024, "KB");
    }
    PrintHeading("scaling 5,000 / 500");
    PrintFigure("keystroke, all", large.keystroke / small.keystroke, "x (target <= 1.3)");
    PrintFigure("keystroke, filter + list update", large.listUpdate / small.listUpdate, "x");
    PrintFigure("keystroke, paint", large.paint / small.paint, "x");
    PrintFigure("keystroke, filter alone", large.filter / small.filter, "x");
    PrintFigure("re-sort + paint", large.resort / small.resort, "x");
    const double perEntry = (static_cast<double>(large.privateBytes) - static_cast<double>(small.privateBytes)) /
                            static_cast<double>(large.entries - small.entries);
    PrintFigure("private memory per entry", perEntry / 1024, "KB (target < 20)");
    return 0;
}
