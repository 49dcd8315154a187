// The add-on page over N add-ons spread across four browsers (a quarter of them twins of
// another browser's item): the time to its first rows against the four cleaners' ScanItems
// alone, and the cost of one search keystroke. Prints figures for N = 200 and 2,000.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "addons/addon_page.h"
#include "support/addon_bench_setup.h"

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

}  // namespace

int wmain() {
    bench::AddonBenchSetup setup(L"TarvoBenchAddonPage");
    if (!setup.Ready()) return 1;
    const CleanerEnvironment& env = setup.Environment();
    const Figures small = Measure(env, 200);
    const Figures large = Measure(env, 2000);
    for (const auto* f : {&small, &large})
        std::printf("%5d add-ons: enumeration %8.3f ms, first rows %8.3f ms (%.2fx), keystroke %7.3f ms, %zu rows\n",
                    f == &small ? 200 : 2000, f->scan * 1000, f->firstRows * 1000, f->firstRows / f->scan,
                    f->keystroke * 1000, f->rows);
    std::printf("keystroke 2000/200: %.2f overall, %.2f per add-on\n", large.keystroke / small.keystroke,
                large.keystroke / small.keystroke / 10);
    return 0;
}
