#pragma once
// Timing and printing shared by the benchmarks: wall-clock time from the performance
// counter, and the platform layer's call counts beside it.

#include <windows.h>

#include <string>

namespace tarvo::bench {

class Stopwatch {
public:
    Stopwatch() noexcept;
    [[nodiscard]] double ElapsedSeconds() const noexcept;

private:
    LARGE_INTEGER start_{};
};

// Prints "label: value unit" lines on stdout, aligned, UTF-8.
void PrintFigure(const char* label, double value, const char* unit);
void PrintHeading(const char* heading);
// Every non-zero call count since the last CallCounter::Reset().
void PrintCallCounts(const char* label);

}  // namespace tarvo::bench
