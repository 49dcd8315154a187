#include "settings/system_info.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/folders.h"
#include "platform/system.h"
#include "support/scratch_folder.h"

using namespace tarvo::settings;

TEST(SystemInfo, WindowsNameFromVersionNumbers) {
    constexpr unsigned long NT = VER_PLATFORM_WIN32_NT;
    constexpr unsigned char Workstation = VER_NT_WORKSTATION, Server = VER_NT_SERVER;
    constexpr unsigned short Amd64 = PROCESSOR_ARCHITECTURE_AMD64, X86 = PROCESSOR_ARCHITECTURE_INTEL;
    const struct {
        WindowsVersion version;
        const wchar_t* name;
    } cases[] = {
        {{NT, 3, 51, Workstation, X86}, L"Windows NT"},
        {{NT, 4, 0, Workstation, X86}, L"Windows NT"},
        {{NT, 5, 0, Workstation, X86}, L"Windows 2000"},
        {{NT, 5, 1, Workstation, X86}, L"Windows XP"},
        {{NT, 5, 2, Workstation, Amd64}, L"Windows XP"},
        {{NT, 5, 2, Workstation, X86}, L"Windows 2003 Server"},
        {{NT, 5, 2, Server, Amd64}, L"Windows 2003 Server"},
        {{NT, 6, 0, Workstation, X86}, L"Windows Vista"},
        {{NT, 6, 1, Workstation, Amd64}, L"Windows 7"},
        {{NT, 6, 2, Workstation, Amd64}, L"Windows 8"},
        {{NT, 6, 3, Workstation, Amd64, 9600}, L"Windows 8.1"},
        {{NT, 6, 4, Workstation, Amd64, 9841}, L""},
        {{NT, 10, 0, Workstation, Amd64, 19045}, L"Windows 10"},
        {{NT, 10, 0, Workstation, X86, 21999}, L"Windows 10"},
        {{NT, 10, 0, Workstation, Amd64, 22000}, L"Windows 11"},
        {{NT, 10, 0, Workstation, Amd64, 26100}, L"Windows 11"},
        {{NT, 10, 1, Workstation, Amd64, 30000}, L""},
        {{NT, 5, 3, Workstation, X86}, L""},
        {{VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0, X86}, L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowsNameFor(c.version), c.name) << c.version.major << "." << c.version.minor;
    // The running system gets whatever the rule makes of it; it must not fail.
    const auto name = WindowsName();
    EXPECT_TRUE(name.empty() || name.rfind(L"Windows ", 0) == 0);
    // The real version, not the 6.2 that GetVersionEx gives an unlisted system.
    const auto real = tarvo::platform::RtlGetVersionOf();
    ASSERT_TRUE(real.has_value());
    EXPECT_EQ(name, WindowsNameFor({real->dwPlatformId, real->dwMajorVersion, real->dwMinorVersion, real->wProductType,
                                    tarvo::platform::GetNativeSystemInfoOf().wProcessorArchitecture,
                                    real->dwBuildNumber}));
}

TEST(SystemInfo, VersionTextsOfASystemFile) {
    const auto kernel32 = tarvo::platform::GetSystemFolder() + L"\\kernel32.dll";
    EXPECT_NE(VersionText(kernel32, 3), L"Unknown");  // FileVersion
    EXPECT_NE(VersionText(kernel32, 8), L"Unknown");  // ProductName
    EXPECT_EQ(VersionText(kernel32, 11), L"Unknown");
    EXPECT_EQ(VersionText(kernel32, -1), L"Unknown");

    tarvo::test::ScratchFolder folder;
    EXPECT_EQ(VersionText(folder.MakeFile(L"plain.dll", "MZ not really"), 3), L"Unknown");
    EXPECT_EQ(VersionText(folder.PathOf(L"missing.dll"), 3), L"Unknown");
}

TEST(SystemInfo, PrivilegesAndWow64) {
    EXPECT_FALSE(EnablePrivilege(L"SeNoSuchPrivilege", true));
    // The test runs elevated like the program does; the debug privilege is held but off.
    EXPECT_TRUE(EnablePrivilege(L"SeDebugPrivilege", true));
    EXPECT_TRUE(EnablePrivilege(L"SeDebugPrivilege", false));
    // A 32-bit test in a 64-bit prefix.
    EXPECT_TRUE(IsWow64());
}
