#include "shell/more_settings.h"

#include <gtest/gtest.h>

using namespace tarvo::shell;

TEST(MoreSettings, RestoreToolByWindowsName) {
    const std::wstring sys = L"C:\\Windows\\system32";
    const struct {
        const wchar_t* windows;
        const wchar_t* tool;  // nullptr: the user is told the system is unknown
    } cases[] = {
        {L"Windows XP", L"C:\\Windows\\system32\\restore\\rstrui.exe"},
        {L"Windows Vista", L"C:\\Windows\\system32\\rstrui.exe"},
        {L"Windows 8", L"C:\\Windows\\system32\\rstrui.exe"},
        {L"Windows 8.1", L"C:\\Windows\\system32\\rstrui.exe"},
        {L"Windows 10", L"C:\\Windows\\system32\\rstrui.exe"},
        {L"Windows 11", L"C:\\Windows\\system32\\rstrui.exe"},
        {L"Windows 2003 Server", nullptr},
        {L"Windows 2000", nullptr},
        {L"", nullptr},
    };
    for (const auto& c : cases) {
        const auto tool = RestoreToolPath(c.windows, sys);
        if (c.tool) EXPECT_EQ(tool.value_or(L"<none>"), c.tool) << c.windows;
        else EXPECT_FALSE(tool.has_value()) << c.windows;
    }
    EXPECT_FALSE(RestoreToolPath(L"Windows 7", L"").has_value());
}

TEST(MoreSettings, MenuItemsInOrderWithoutRestorePointOnWindows2000) {
    const auto all = MoreSettingsItems(L"Windows 10");
    ASSERT_EQ(all.size(), 12u);
    EXPECT_EQ(all.front().command, MoreSettingsCommand::ForcedUninstall);
    EXPECT_EQ(all[1].command, MoreSettingsCommand::InstallAndTrace);
    EXPECT_EQ(all[2].command, MoreSettingsCommand::Orphans);
    EXPECT_EQ(all[9].command, MoreSettingsCommand::Language);
    EXPECT_EQ(all.back().command, MoreSettingsCommand::About);
    const auto old = MoreSettingsItems(L"Windows 2000");
    ASSERT_EQ(old.size(), 11u);
    for (const auto& item : old) EXPECT_NE(item.command, MoreSettingsCommand::ViewRestorePoint);
    // Every item but the submenu's own answers its id; nothing else does.
    for (const auto& item : all)
        EXPECT_EQ(MoreSettingsCommandOf(static_cast<unsigned>(item.command)).has_value(),
                  item.command != MoreSettingsCommand::Language);
    EXPECT_FALSE(MoreSettingsCommandOf(kFirstLanguageCommand).has_value());
}

TEST(MoreSettings, UpdaterParametersAndAddresses) {
    const std::wstring exe = L"C:\\Program Files\\Tarvo\\Tarvo Uninstaller\\TarvoUninstaller.exe";
    // The folder goes without its trailing backslash, which would escape the closing quote.
    EXPECT_EQ(UpdaterParameters(true, exe, L"German"),
              L"/appupt /manual /product uninstaller /fn \"" + exe +
                  L"\" /location \"C:\\Program Files\\Tarvo\\Tarvo Uninstaller\" /language German");
    EXPECT_EQ(UpdaterParameters(false, exe, L"English").substr(0, 41), L"/appupt /auto /product uninstaller /fn  \"");

    const struct {
        std::wstring address, expected;
    } addresses[] = {
        {TechnicalSupportAddress(L"http://s", L"3.0.0.1"),
         L"http://s/productfeedback.php?product=tarvo-uninstaller&ver=3.0.0.1"},
        {TechnicalSupportAddress(L"http://s", L"Unknown"),
         L"http://s/productfeedback.php?product=tarvo-uninstaller&ver=unknown"},
        {TechnicalSupportAddress(L"http://s", L""), L"http://s/productfeedback.php?product=tarvo-uninstaller&ver=unknown"},
        {HomePageAddress(L"http://s"), L"http://s"},
        {LikeAddress(L"http://s"), L"http://s/goto.php?id=likefb_TU3"},
        {FeedbackAddress(L"http://f"), L"http://f/showthread.php?t=15823"},
    };
    for (const auto& a : addresses) EXPECT_EQ(a.address, a.expected);
}
