// The add-on page over N add-ons spread across four browsers (a quarter of them twins of
// another browser's item): the time to its first rows against the four cleaners' ScanItems
// alone, and the cost of one search keystroke: the page logic's filter alone, and the whole
// keystroke as the user sees it on the page's window (filter, list update, the paint it
// causes). Prints figures for N = 200 and 2,000.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "addons/addon_page.h"
#include "shell/browser_cleaner_page.h"
#include "support/addon_bench_setup.h"
#include "support/bench_report.h"
#include "ui/window_base.h"

using namespace tarvo;
using namespace tarvo::addons;

namespace {

class BenchCleaner final : public TCustomBrowserCleaner {
public:
    BenchCleaner(const CleanerEnvironment& env, BrowserKind kind, int first, int count)
        : TCustomBrowserCleaner(env), kind_(kind), first_(first), count_(count) {}
    BrowserKind Browser() const noexcept override { return kind_; }
    void ScanItems() override {
        for (int i = first_; i < count_; i += 4) {
            const int name = (i % 4 == 3) ? i - 1 : i;  // every fourth repeats the previous browser's
            (void)AddItem({kind_, i % 8 < 5 ? AddonKind::Extension : AddonKind::Plugin, L"id" + std::to_wstring(name),
                           L"Add-on " + std::to_wstring(name), L"Description of add-on " + std::to_wstring(name),
                           L"C:\\Addons\\" + std::to_wstring(i) + L".dll", L"Maker", L"1.0." + std::to_wstring(name % 7),
                           true, 0, nullptr, {}});
        }
    }
    bool RemoveItem(TPluginItem&) override { return true; }
    bool RestoreItem(TPluginItem&) override { return true; }

private:
    BrowserKind kind_;
    int first_, count_;
};

// Runs the page's workers at once, on this thread, as their messages would.
class InlineView final : public IAddonPageView, public IBrowserProcesses {
public:
    TAddonPage* page = nullptr;
    void RowsChanged() override {}
    void TabsChanged() override {}
    void ShowLoading(bool) override {}
    void Inform(const std::wstring&) override {}
    void Warn(const std::wstring&) override {}
    bool AskYesNo(const std::wstring&) override { return true; }
    bool AskOkCancel(const std::wstring&) override { return true; }
    void RunWorker(Work kind, std::function<void()> work) override {
        if (kind == Work::Scan) page->OnScanStart();
        work();
        kind == Work::Scan ? page->OnScanDone() : page->OnRemoveDone();
    }
    bool IsRunning(BrowserKind) override { return false; }
    void Close(BrowserKind) override {}
};

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::vector<std::unique_ptr<TCustomBrowserCleaner>> Cleaners(const CleanerEnvironment& env, int count) {
    const BrowserKind browsers[] = {BrowserKind::InternetExplorer, BrowserKind::Chrome, BrowserKind::Firefox, BrowserKind::Opera};
    std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners;
    for (int b = 0; b < 4; ++b) cleaners.push_back(std::make_unique<BenchCleaner>(env, browsers[b], b, count));
    return cleaners;
}

struct Figures {
    double scan = 0, firstRows = 0, keystroke = 0;
    std::size_t rows = 0;
};

Figures Measure(const CleanerEnvironment& env, int count) {
    Figures f;
    const int rounds = 2000 / count * 3;
    for (int r = 0; r < rounds; ++r) {
        auto cleaners = Cleaners(env, count);
        const double start = Seconds();
        for (auto& cleaner : cleaners) cleaner->Scan();  // ScanItems under the store's read lock, as the page runs it
        f.scan += Seconds() - start;
    }
    for (int r = 0; r < rounds; ++r) {
        InlineView view;
        TAddonPage page(view, view);
        view.page = &page;
        auto cleaners = Cleaners(env, count);
        const double start = Seconds();
        page.Prepare(std::move(cleaners), nullptr, false);  // enumerates, merges and fills
        f.firstRows += Seconds() - start;
        f.rows = static_cast<std::size_t>(page.RowCount());
        // Keystrokes that keep most rows, as typing the start of a common word does.
        const wchar_t* typed[] = {L"a", L"ad", L"add", L"add-", L"add-o"};
        const double typing = Seconds();
        for (const wchar_t* text : typed) page.SetFilter(text);
        f.keystroke += (Seconds() - typing) / 5;
    }
    f.scan /= rounds;
    f.firstRows /= rounds;
    f.keystroke /= rounds;
    return f;
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
        return CreateTopLevel(L"TarvoBenchAddonHost", L"bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                              RECT{0, 0, 870, 570});
    }
};

void PaintNow(HWND window) { ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN); }

struct WindowFigures {
    double update = 1e30, paint = 1e30, keystroke = 1e30;
    bool windowless = false;
};

// The page's own window, enumerated by its worker as in the program; then keystrokes typed
// and deleted again, each painted before the next. Best of three rounds.
WindowFigures MeasureWindow(const CleanerEnvironment& env, const platform::SqliteLibrary& sqlite, int count) {
    WindowFigures f;
    const std::wstring typed = L"add-o";
    std::vector<std::wstring> texts;
    for (std::size_t n = 1; n <= typed.size(); ++n) texts.push_back(typed.substr(0, n));
    for (std::size_t n = typed.size(); n-- > 0;) texts.push_back(typed.substr(0, n));
    const double keys = static_cast<double>(texts.size());
    for (int round = 0; round < 3; ++round) {
        Host host;
        if (!host.Create()) {
            f.windowless = true;
            return f;
        }
        shell::TfraBrowserCleaner page;
        page.makeCleaners = [&env, count] { return Cleaners(env, count); };
        page.Create(host.hwnd(), 1, RECT{0, 52, 870, 570}, 96);
        ::ShowWindow(page.hwnd(), SW_SHOW);
        page.Prepare(&sqlite);
        page.Activate();
        while (page.Page().Busy()) {
            (void)::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            Pump();
        }
        Pump();
        PaintNow(host.hwnd());
        double update = 0, paint = 0;
        for (const auto& text : texts) {
            bench::Stopwatch step;
            page.OnSearchText(text);
            update += step.ElapsedSeconds();
            bench::Stopwatch painting;
            PaintNow(host.hwnd());
            paint += painting.ElapsedSeconds();
        }
        f.update = std::min(f.update, update / keys);
        f.paint = std::min(f.paint, paint / keys);
        f.keystroke = std::min(f.keystroke, (update + paint) / keys);
        ::DestroyWindow(host.hwnd());
        Pump();
    }
    return f;
}

}  // namespace

int wmain() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    bench::AddonBenchSetup setup(L"TarvoBenchAddonPage");
    if (!setup.Ready()) return 1;
    const CleanerEnvironment& env = setup.Environment();
    const platform::SqliteLibrary& sqlite = setup.Sqlite();
    const Figures small = Measure(env, 200);
    const Figures large = Measure(env, 2000);
    for (const auto* f : {&small, &large})
        std::printf("%5d add-ons: enumeration %8.3f ms, first rows %8.3f ms (%.2fx), keystroke %7.3f ms, %zu rows\n",
                    f == &small ? 200 : 2000, f->scan * 1000, f->firstRows * 1000, f->firstRows / f->scan,
                    f->keystroke * 1000, f->rows);
    std::printf("filter alone 2000/200: %.2f overall, %.2f per add-on\n", large.keystroke / small.keystroke,
                large.keystroke / small.keystroke / 10);
    const WindowFigures smallWindow = MeasureWindow(env, sqlite, 200);
    const WindowFigures largeWindow = smallWindow.windowless ? smallWindow : MeasureWindow(env, sqlite, 2000);
    if (smallWindow.windowless || largeWindow.windowless) {
        std::printf("no window could be created: run under a display (scripts/display.sh)\n");
    } else {
        for (const auto& [name, f] : {std::pair{"200 add-ons, whole keystroke", smallWindow},
                                      std::pair{"2,000 add-ons, whole keystroke", largeWindow}}) {
            bench::PrintHeading(name);
            bench::PrintFigure("filter + list update", f.update * 1000, "ms");
            bench::PrintFigure("paint", f.paint * 1000, "ms");
            bench::PrintFigure("all", f.keystroke * 1000, "ms");
        }
        bench::PrintHeading("scaling 2,000 / 200 (200 add-ons as the floor)");
        bench::PrintFigure("keystroke, all", largeWindow.keystroke / smallWindow.keystroke, "x (target <= 1.3)");
        bench::PrintFigure("keystroke, filter + list update", largeWindow.update / smallWindow.update, "x");
        bench::PrintFigure("keystroke, paint", largeWindow.paint / smallWindow.paint, "x");
    }
    return 0;
}
