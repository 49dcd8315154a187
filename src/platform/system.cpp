#include "platform/system.h"

#include <windows.h>

namespace tarvo::platform {

std::optional<OSVERSIONINFOEXW> GetVersionExOf() noexcept {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return std::nullopt;
    return info;
}

std::optional<OSVERSIONINFOEXW> RtlGetVersionOf() noexcept {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
                                           ::GetProcAddress(ntdll, "RtlGetVersion")))
                                     : nullptr;
    if (rtlGetVersion) {
        OSVERSIONINFOEXW info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (rtlGetVersion(&info) == 0) return info;
    }
    return GetVersionExOf();
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

bool ExpandEnvironmentOf(const std::wstring& text, std::wstring& expanded) noexcept {
    try {
        std::wstring buffer(text.size() + 256, L'\0');
        for (int attempt = 0; attempt < 3; ++attempt) {
            const DWORD needed =
                ::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
            if (needed == 0) return false;
            if (needed <= buffer.size()) {
                buffer.resize(needed - 1);  // the count includes the terminating zero
                expanded = std::move(buffer);
                return true;
            }
            buffer.assign(needed, L'\0');
        }
    } catch (...) {
    }
    return false;
}

}  // namespace tarvo::platform
