// The all-browsers merge: BuildMergedList over N items spread across four browsers (a
// quarter of them twins of another browser's item), with 1,000 trust rows in the store,
// beside a plain pass that reads the same three texts of every item. Prints times for
// N = 200 and 2,000 and the growth between them.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "addons/all_browser_cleaner.h"
#include "addons/cleaner_store.h"
#include "support/addon_bench_setup.h"

using namespace tarvo;
using namespace tarvo::addons;

namespace {

class BenchCleaner : public TCustomBrowserCleaner {
public:
    using TCustomBrowserCleaner::TCustomBrowserCleaner;
    void ScanItems() override {}
    bool RemoveItem(TPluginItem&) override { return true; }
    bool RestoreItem(TPluginItem&) override { return true; }
};

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Figures {
    double merge = 0, plain = 0;
    std::size_t merged = 0, twins = 0;
};

Figures Measure(const CleanerEnvironment& env, int count) {
    const BrowserKind browsers[] = {BrowserKind::InternetExplorer, BrowserKind::Chrome, BrowserKind::Firefox,
                                    BrowserKind::Opera};
    std::vector<std::unique_ptr<BenchCleaner>> cleaners;
    TAllBrowserCleaner all;
    for (int b = 0; b < 4; ++b) {
        cleaners.push_back(std::make_unique<BenchCleaner>(env));
        all.AddCleaner(*cleaners.back());
    }
    for (int i = 0; i < count; ++i) {
        const int b = i % 4;
        // Every fourth item repeats the previous browser's add-on: a twin.
        const int name = (i % 4 == 3) ? i - 1 : i;
        FoundAddon found{browsers[b], AddonKind::Extension, L"id" + std::to_wstring(name),
                         L"Add-on " + std::to_wstring(name), L"Description of add-on " + std::to_wstring(name),
                         L"C:\\Addons\\" + std::to_wstring(i) + L".dll", L"Maker", L"1.0." + std::to_wstring(name % 7),
                         true, 0, nullptr, {}};
        (void)cleaners[static_cast<std::size_t>(b)]->AddItem(std::move(found));
    }
    Figures figures;
    const int rounds = 2000 / count * 5;
    double start = Seconds();
    for (int r = 0; r < rounds; ++r) all.BuildMergedList();
    figures.merge = (Seconds() - start) / rounds;
    figures.merged = static_cast<std::size_t>(all.MergedCount());
    figures.twins = all.TwinMap().size();

    std::size_t touched = 0;
    start = Seconds();
    for (int r = 0; r < rounds; ++r)
        for (const auto& cleaner : cleaners)
            for (const auto& item : cleaner->Items()) {
                std::wstring key = item->Caption + L"\x1" + item->Description + L"\x1" + item->Version;
                touched += key.size();
            }
    figures.plain = (Seconds() - start) / rounds;
    if (touched == 0) std::printf("nothing touched\n");
    return figures;
}

}  // namespace

int wmain() {
    bench::AddonBenchSetup setup(L"TarvoBenchAddons");
    if (!setup.Ready()) return 1;
    const CleanerEnvironment& env = setup.Environment();
    {
        BenchCleaner maker(env);  // creates the store
        CleanerStore store;
        (void)store.Open(&setup.Sqlite(), maker.StorePath());
        for (int i = 0; i < 1000; ++i) {
            const std::wstring name = std::to_wstring(i * 2);
            (void)store.WriteTrust({L"id" + name, L"Add-on " + name, L"", L"", 0, L"1.0." + std::to_wstring(i * 2 % 7)},
                                   {L"C:\\Addons\\" + name + L".dll"}, 1 + i % 2);
        }
    }
    const Figures small = Measure(env, 200);
    const Figures large = Measure(env, 2000);
    for (const auto* f : {&small, &large})
        std::printf("BuildMergedList %5zu items: %8.3f ms (plain pass %7.3f ms, ratio %.2f), %zu merged, %zu twin lines\n",
                    f == &small ? std::size_t{200} : std::size_t{2000}, f->merge * 1000, f->plain * 1000,
                    f->merge / f->plain, f->merged, f->twins);
    std::printf("growth 2000/200: %.2f (linear is 10)\n", large.merge / small.merge);
    return 0;
}
