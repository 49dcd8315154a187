#pragma once
// The optional statistics library UsageReport.dll beside the program. Without it every call
// is skipped and reports 0; the program never uses a result.

#include <string>

#include "platform/unique_handle.h"

namespace tarvo::shell {

// A statistics report: event code and its four numbers.
struct StatisticEvent {
    std::wstring code;
    int values[4] = {0, 0, 0, 0};
    friend bool operator==(const StatisticEvent&, const StatisticEvent&) = default;
};

class TStatisticsLibrary {
public:
    static constexpr const wchar_t* kFileName = L"UsageReport.dll";
    static constexpr const wchar_t* kProductCode = L"tu3";

    // Loads the library when the file exists and looks its entry points up by name.
    bool Load(const std::wstring& path) noexcept;
    [[nodiscard]] bool IsLoaded() const noexcept { return module_.is_valid(); }

    // ("tu3", version, "tarvo", 0), once after loading.
    int SetStatParam(const std::wstring& fileVersion) noexcept;
    // ("tu3", code, four numbers) at the program's event points.
    int DoStatistic(const std::wstring& code, int a, int b, int c, int d) noexcept;

private:
    using SetStatParamFn = int(__stdcall*)(const wchar_t*, const wchar_t*, const wchar_t*, int);
    using DoStatisticFn = int(__stdcall*)(const wchar_t*, const wchar_t*, int, int, int, int);

    platform::unique_hmodule module_;
    SetStatParamFn setStatParam_ = nullptr;
    DoStatisticFn doStatistic_ = nullptr;
};

}  // namespace tarvo::shell
