#include "support/bench_report.h"

#include <cstdio>

#include "platform/call_counter.h"

namespace tarvo::bench {

using platform::ApiCall;
using platform::CallCounter;

Stopwatch::Stopwatch() noexcept { ::QueryPerformanceCounter(&start_); }

double Stopwatch::ElapsedSeconds() const noexcept {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PrintHeading(const char* heading) { std::printf("\n== %s ==\n", heading); }

void PrintFigure(const char* label, double value, const char* unit) {
    std::printf("  %-44s %14.3f %s\n", label, value, unit);
}

void PrintCallCounts(const char* label) {
    std::printf("  %s:\n", label);
    for (std::size_t i = 0; i < static_cast<std::size_t>(ApiCall::Count_); ++i) {
        const auto call = static_cast<ApiCall>(i);
        if (const auto count = CallCounter::Get(call))
            std::printf("    %-40ls %14llu\n", CallCounter::Name(call), count);
    }
    std::fflush(stdout);
}

}  // namespace tarvo::bench
