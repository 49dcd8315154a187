// Enumerates every key below HKEY_LOCAL_MACHINE\SOFTWARE in both registry views and prints
// the rate and the registry calls made: the floor that the registry-heavy benchmarks of the
// program compare themselves with.

#include <cstdio>

#include "platform/call_counter.h"
#include "platform/registry.h"
#include "support/bench_report.h"

using namespace tarvo::platform;
using namespace tarvo::bench;

namespace {

unsigned long long WalkKeys(HKEY parent, const std::wstring& path, RegistryView view, int depth) {
    RegistryKey key;
    if (key.Open(parent, path, KEY_ENUMERATE_SUB_KEYS, view) != ERROR_SUCCESS) return 0;
    unsigned long long count = 1;
    std::wstring name;
    // The 64-bit view would reach the 32-bit keys again through Wow6432Node; each view is
    // walked on its own.
    for (DWORD i = 0; key.EnumKey(i, name) == ERROR_SUCCESS; ++i)
        if (depth > 0 || _wcsicmp(name.c_str(), L"Wow6432Node") != 0)
            count += WalkKeys(key.get(), name, view, depth + 1);
    return count;
}

void Measure(const char* label, RegistryView view) {
    CallCounter::Reset();
    Stopwatch watch;
    const auto keys = WalkKeys(HKEY_LOCAL_MACHINE, L"SOFTWARE", view, 0);
    const double seconds = watch.ElapsedSeconds();
    PrintHeading(label);
    PrintFigure("keys", static_cast<double>(keys), "");
    PrintFigure("time", seconds * 1000.0, "ms");
    PrintFigure("keys per second", static_cast<double>(keys) / seconds, "keys/s");
    PrintFigure("registry calls", static_cast<double>(CallCounter::RegistryTotal()), "calls");
    PrintFigure("registry calls per key",
                static_cast<double>(CallCounter::RegistryTotal()) / static_cast<double>(keys), "");
    PrintFigure("time per call", seconds * 1e6 / static_cast<double>(CallCounter::RegistryTotal()), "us");
}

}  // namespace

int wmain() {
    std::printf("Registry walk of HKEY_LOCAL_MACHINE\\SOFTWARE\n");
    Measure("default view (32-bit, WOW6432Node)", RegistryView::Default);
    Measure("64-bit view", RegistryView::Wow64_64Key);
    return 0;
}
