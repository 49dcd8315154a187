#include "platform/system_version.h"

namespace tarvo::platform {

std::optional<OSVERSIONINFOEXW> GetVersionExOf() noexcept {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return std::nullopt;
    return info;
}

SYSTEM_INFO GetNativeSystemInfoOf() noexcept {
    using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
    const auto native = reinterpret_cast<GetNativeSystemInfoFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetNativeSystemInfo")));
    SYSTEM_INFO info{};
    if (native)
        native(&info);
    else
        ::GetSystemInfo(&info);
    return info;
}

}  // namespace tarvo::platform
