#include "platform/call_counter.h"

namespace tarvo::platform {

namespace {
constexpr const wchar_t* kNames[] = {
    L"RegOpenKeyEx",  L"RegCreateKeyEx",  L"RegEnumKeyEx",     L"RegEnumValue",
    L"RegQueryValueEx", L"RegQueryInfoKey", L"RegSetValueEx",  L"RegDeleteValue",
    L"RegDeleteKey",  L"FindFirstFile",   L"FindNextFile",     L"GetFileAttributes",
    L"CreateFile",    L"DeleteFile",      L"CreateDirectory",  L"RemoveDirectory",
    L"MoveFileEx",    L"SetFileAttributes",
};
static_assert(std::size(kNames) == static_cast<std::size_t>(ApiCall::Count_));

unsigned long long SumRange(ApiCall first, ApiCall last) noexcept {
    unsigned long long total = 0;
    for (auto i = static_cast<std::size_t>(first); i <= static_cast<std::size_t>(last); ++i)
        total += CallCounter::Get(static_cast<ApiCall>(i));
    return total;
}
}  // namespace

unsigned long long CallCounter::RegistryTotal() noexcept {
    return SumRange(ApiCall::RegOpenKey, ApiCall::RegDeleteKey);
}

unsigned long long CallCounter::FileSystemTotal() noexcept {
    return SumRange(ApiCall::FindFirstFile, ApiCall::SetFileAttributes);
}

const wchar_t* CallCounter::Name(ApiCall call) noexcept {
    const auto index = static_cast<std::size_t>(call);
    return index < std::size(kNames) ? kNames[index] : L"?";
}

void CallCounter::Reset() noexcept {
    for (auto& count : counts_) count.store(0, std::memory_order_relaxed);
}

}  // namespace tarvo::platform
