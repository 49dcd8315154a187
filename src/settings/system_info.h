#pragma once
// Questions about the system the program runs on.

#include <string>

namespace tarvo::settings {

// True when this 32-bit process runs under WOW64 (64-bit Windows). IsWow64Process is
// looked up by name; a missing function or a failure counts as 32-bit Windows. The 64-bit
// build runs only on 64-bit Windows and sees the same two views, so it answers true.
[[nodiscard]] bool IsWow64() noexcept;

// True when the system folder this process sees is not the native one (a 32-bit process
// under WOW64 sees SysWOW64 there), so the native one is reached through "Sysnative".
[[nodiscard]] bool SystemFolderRedirected() noexcept;

// "Windows XP", "Windows 7", … for the running system; empty for systems the program does
// not name.
[[nodiscard]] std::wstring WindowsName();

// The naming rule on its own. Values as OSVERSIONINFOEX and SYSTEM_INFO give them.
struct WindowsVersion {
    unsigned long platformId = 0;  // VER_PLATFORM_WIN32_NT = 2
    unsigned long major = 0;
    unsigned long minor = 0;
    unsigned char productType = 0;           // VER_NT_WORKSTATION = 1
    unsigned short processorArchitecture = 0;  // PROCESSOR_ARCHITECTURE_AMD64 = 9
    unsigned long build = 0;  // tells Windows 11 (build 22000 on) from Windows 10
};
[[nodiscard]] std::wstring WindowsNameFor(const WindowsVersion& version);

// One text of a file's version resource, chosen by kind: 0 Comments, 1 CompanyName,
// 2 FileDescription, 3 FileVersion, 4 InternalName, 5 LegalCopyright, 6 LegalTrademarks,
// 7 OriginalFileName, 8 ProductName, 9 ProductVersion, 10 WOW Version. "Unknown" when the
// file has no such text or anything fails.
[[nodiscard]] std::wstring VersionText(const std::wstring& file, int kind);

// Turns one privilege of the process token ("SeDebugPrivilege") on or off; true when that
// took effect.
[[nodiscard]] bool EnablePrivilege(const std::wstring& name, bool enable) noexcept;

}  // namespace tarvo::settings
