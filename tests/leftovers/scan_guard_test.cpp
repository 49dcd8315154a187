// The places no rule may offer, whatever it asks for: shared keys in any case and view form,
// volume roots, and paths whose texts do not say where they are.
#include <gtest/gtest.h>

#include "leftovers/scan_guard.h"

using namespace tarvo::leftovers;

TEST(ScanGuard, SharedKeysAndRootsAreProtected) {
    struct Case {
        HKEY root;
        const wchar_t* path;
        bool protectedKey;
    };
    const Case cases[] = {
        {HKEY_LOCAL_MACHINE, L"", true},
        {HKEY_LOCAL_MACHINE, L"\\", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE", true},
        {HKEY_LOCAL_MACHINE, L"\\SOFTWARE\\", true},
        {HKEY_LOCAL_MACHINE, L"software\\classes", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\MICROSOFT\\", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\Classes", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\Microsoft", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\CLSID", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\TypeLib", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\exefile", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\*\\shellex\\ContextMenuHandlers", true},
        {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services", true},
        {HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001\\Enum", true},
        {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\eventlog\\Application", true},
        {HKEY_CURRENT_USER, L"Software", true},
        {HKEY_CURRENT_USER, L"Software\\Classes", true},
        {HKEY_CURRENT_USER, L"Software\\Microsoft", true},
        {HKEY_CURRENT_USER, L"Environment", true},
        {HKEY_CLASSES_ROOT, L"", true},
        {HKEY_CLASSES_ROOT, L"CLSID", true},
        {HKEY_CLASSES_ROOT, L"Directory", true},
        {HKEY_USERS, L"S-1-5-21-1\\Software\\Microsoft", true},
        {HKEY_USERS, L"S-1-5-21-1_Classes\\CLSID", true},
        {HKEY_CURRENT_CONFIG, L"Software", true},
        // Keys every program writes its entries into.
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", true},
        {HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Control Panel\\Cpls", true},
        {HKEY_CURRENT_USER, L"Control Panel\\Cpls", true},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\StartMenuInternet", true},
        {HKEY_LOCAL_MACHINE,
         L"SYSTEM\\CurrentControlSet\\Services\\SharedAccess\\Parameters\\FirewallPolicy\\FirewallRules", true},
        {HKEY_USERS, L"S-1-5-21-1\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", true},
        // What programs really own stays reportable.
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tarvo", false},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Wow6432Node\\Acme", false},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Foo", false},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\CLSID\\{1}", false},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\exefile\\shell\\FooScan", false},
        {HKEY_CLASSES_ROOT, L"*\\shellex\\ContextMenuHandlers\\FooMenu", false},
        {HKEY_CLASSES_ROOT, L"Foo.Document", false},
        {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\foosvc", false},
        {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\services\\eventlog\\Application\\Foo", false},
        {HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Enum\\Root\\LEGACY_FOO", false},
        {HKEY_CURRENT_USER, L"Software\\Acme\\Foo", false},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\foo.exe", false},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Foo", false},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Clients\\StartMenuInternet\\Foo", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsProtectedKey(c.root, c.path), c.protectedKey) << c.path;
}

TEST(ScanGuard, VolumeRootsAndPlainPaths) {
    EXPECT_TRUE(IsVolumeRoot(L"c:\\"));
    EXPECT_TRUE(IsVolumeRoot(L"\\\\server\\share\\"));
    EXPECT_TRUE(IsVolumeRoot(L"\\\\server\\"));
    EXPECT_FALSE(IsVolumeRoot(L"c:\\foo\\"));
    EXPECT_FALSE(IsVolumeRoot(L"\\\\server\\share\\foo\\"));

    EXPECT_TRUE(IsPlainAbsolutePath(L"C:\\Program Files\\Foo"));
    EXPECT_TRUE(IsPlainAbsolutePath(L"\\\\server\\share\\Foo"));
    EXPECT_FALSE(IsPlainAbsolutePath(L"Foo\\bar"));
    EXPECT_FALSE(IsPlainAbsolutePath(L"\\Foo"));
    EXPECT_FALSE(IsPlainAbsolutePath(L"C:Foo"));
    EXPECT_FALSE(IsPlainAbsolutePath(L"C:\\Program Files\\Foo\\..\\.."));
    EXPECT_FALSE(IsPlainAbsolutePath(L"C:\\Program Files\\Foo\\.\\x"));
    EXPECT_FALSE(IsPlainAbsolutePath(L"C:/Windows"));
    EXPECT_FALSE(IsPlainAbsolutePath(L"\\\\?\\C:\\Windows"));
}
