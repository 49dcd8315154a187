#include "settings/system_info.h"

#include <windows.h>

#include "platform/security.h"
#include "platform/system.h"
#include "platform/version_info.h"

namespace tarvo::settings {

bool IsWow64() noexcept {
#ifdef _WIN64
    return true;
#else
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

bool SystemFolderRedirected() noexcept {
#ifdef _WIN64
    return false;
#else
    return IsWow64();
#endif
}

std::wstring WindowsNameFor(const WindowsVersion& version) {
    if (version.platformId != VER_PLATFORM_WIN32_NT) return {};
    if (version.major == 3 || version.major == 4) return L"Windows NT";
    if (version.major == 5) {
        switch (version.minor) {
        case 0: return L"Windows 2000";
        case 1: return L"Windows XP";
        case 2:
            // XP Professional x64 carries the 2003 server kernel's version number.
            return version.productType == VER_NT_WORKSTATION &&
                           version.processorArchitecture == PROCESSOR_ARCHITECTURE_AMD64
                       ? L"Windows XP"
                       : L"Windows 2003 Server";
        default: return {};
        }
    }
    if (version.major == 6) {
        switch (version.minor) {
        case 0: return L"Windows Vista";
        case 1: return L"Windows 7";
        case 2: return L"Windows 8";
        case 3: return L"Windows 8.1";
        default: return {};
        }
    }
    // Windows 11 kept the major and minor numbers of Windows 10; only the build tells them apart.
    if (version.major == 10 && version.minor == 0) return version.build >= 22000 ? L"Windows 11" : L"Windows 10";
    return {};
}

std::wstring WindowsName() {
    // GetVersionEx answers 6.2 on every later Windows unless the manifest names it; the real
    // number comes from ntdll.
    const auto info = platform::RtlGetVersionOf();
    if (!info) return {};
    const SYSTEM_INFO system = platform::GetNativeSystemInfoOf();
    return WindowsNameFor({info->dwPlatformId, info->dwMajorVersion, info->dwMinorVersion, info->wProductType,
                           system.wProcessorArchitecture, info->dwBuildNumber});
}

std::wstring VersionText(const std::wstring& file, int kind) {
    static constexpr const wchar_t* kNames[] = {
        L"Comments",       L"CompanyName", L"FileDescription", L"FileVersion",
        L"InternalName",   L"LegalCopyright", L"LegalTrademarks", L"OriginalFileName",
        L"ProductName",    L"ProductVersion", L"WOW Version"};
    if (kind < 0 || kind > 10) return L"Unknown";
    auto text = platform::GetFileVersionString(file, kNames[kind]);
    return text.empty() ? L"Unknown" : text;
}

bool EnablePrivilege(const std::wstring& name, bool enable) noexcept {
    return platform::AdjustProcessPrivilege(name, enable);
}

}  // namespace tarvo::settings
