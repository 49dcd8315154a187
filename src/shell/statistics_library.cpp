#include "shell/statistics_library.h"

#include "platform/files.h"
#include "platform/library.h"

namespace tarvo::shell {

bool TStatisticsLibrary::Load(const std::wstring& path) noexcept {
    if (!platform::FileExists(path)) return false;
    platform::unique_hmodule module = platform::LoadLibraryOf(path);
    if (!module) return false;
    setStatParam_ = platform::GetProcAddressOf<SetStatParamFn>(module.get(), "SetStatParam");
    doStatistic_ = platform::GetProcAddressOf<DoStatisticFn>(module.get(), "DoStatistic");
    module_ = std::move(module);
    return true;
}

int TStatisticsLibrary::SetStatParam(const std::wstring& fileVersion) noexcept {
    return setStatParam_ ? setStatParam_(kProductCode, fileVersion.c_str(), L"tarvo", 0) : 0;
}

int TStatisticsLibrary::DoStatistic(const std::wstring& code, int a, int b, int c, int d) noexcept {
    return doStatistic_ ? doStatistic_(kProductCode, code.c_str(), a, b, c, d) : 0;
}

}  // namespace tarvo::shell
