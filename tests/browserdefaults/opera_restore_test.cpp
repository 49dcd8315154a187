// Opera 12's INI files and Opera 15 and later's Preferences, in an installation and
// profile the tests write.
#include "browserdefaults/opera_explorer_set.h"

#include "platform/registry.h"
#include "platform/text.h"
#include "restore_fixture.h"

namespace tarvo::browserdefaults {
namespace {

class OperaRestoreTest : public test::RestoreTest {
protected:
    void Install(const wchar_t* version) {
        platform::RegistryKey entry;
        ASSERT_EQ(entry.Create(HKEY_CURRENT_USER, env.machineKeyPrefix + env.uninstallKeyPath + L"\\Opera 12.16.1860"),
                  ERROR_SUCCESS);
        ASSERT_EQ(entry.SetString(L"DisplayVersion", version), ERROR_SUCCESS);
        ASSERT_EQ(entry.SetString(L"InstallLocation", program), ERROR_SUCCESS);
    }
    std::wstring Profile12(const wchar_t* name) const { return L"Users\\Tester\\AppData\\Roaming\\Opera\\Opera\\" + std::wstring(name); }
    std::wstring Ini(const std::wstring& path, const wchar_t* section, const wchar_t* key) const {
        return platform::GetPrivateProfileStringOf(path, section, key, L"<none>");
    }
    const std::wstring program = scratch.MakeFolder(L"Program Files\\Opera");
};

TEST_F(OperaRestoreTest, Opera12ReadsAndRestoresItsIniFiles) {
    Install(L"12.16");
    const std::wstring prefs =
        Write(Profile12(L"operaprefs.ini"), "\xEF\xBB\xBF[State]\r\nActive Region=fr\r\nActive Default Language=en\r\n\r\n"
                                            "[User Prefs]\r\nHome URL=http://www.delta-search.com/\r\nStartup Type=0\r\n");
    const std::wstring own = Write(Profile12(L"search.ini"), "[Options]\r\nDefault Search=DELTA1\r\n\r\n"
                                                             "[Search Engine 1]\r\nUNIQUEID=7A8CADE6677811DDBA4B5E9D55D89593\r\nName=Old\r\n");
    const std::wstring toolbar = Write(Profile12(L"toolbar\\standard_toolbar.ini"),
                                       "[Pagebar Floating.content]\r\nButton0=Delta\r\n[Other]\r\nA=1\r\n");
    Write(L"Program Files\\Opera\\locale\\en\\search.ini",
          "[Search Engine 1]\r\nUNIQUEID=DELTA1\r\nName=Delta\r\nNameid=0\r\n[Search Engine 2]\r\n"
          "UNIQUEID=7A8CADE6677811DDBA4B5E9D55D89593\r\nName=Google\r\nNameid=17171\r\n");
    Write(L"Program Files\\Opera\\locale\\en\\en.lng", "[Translation]\r\n17171=Google (\xC3\xA9)\r\n");
    const std::wstring regional = Write(L"Program Files\\Opera\\region\\fr\\sub\\search.ini",
                                        "[Search Engine 1]\r\nUNIQUEID=DELTA1\r\nName=Delta\r\n");

    TOperaExplorerSet opera(env);
    EXPECT_EQ(opera.Version(), 12);
    EXPECT_EQ(opera.ActiveRegion(), L"fr");
    EXPECT_EQ(opera.DefaultLanguage(), L"en");
    EXPECT_EQ(opera.GetHomepage(), L"http://www.delta-search.com/");
    EXPECT_EQ(opera.GetSearchEngine(), L"Delta");

    ASSERT_TRUE(opera.SetHomepage());
    EXPECT_EQ(opera.GetHomepage(),
              L"http://portal.opera.com/?utm_source=OperaBrowser&utm_medium=HomeButton&utm_campaign=PortalLinks");
    EXPECT_EQ(Ini(prefs, L"User Prefs", L"Startup Type"), L"2");
    EXPECT_EQ(Ini(toolbar, L"Pagebar Floating.content", L"Button0"), L"<none>");
    EXPECT_EQ(Ini(toolbar, L"Other", L"A"), L"1");

    ASSERT_TRUE(opera.RestSearchToDefault());
    EXPECT_EQ(Ini(regional, L"Search Engine 2", L"UNIQUEID"), kOperaGoogleId);
    EXPECT_EQ(Ini(regional, L"Search Engine 2", L"URL"),
              L"https://www.google.com/search?q=%s&sourceid=opera&ie=utf-8&oe=utf-8&channel=suggest");
    EXPECT_EQ(Ini(regional, L"Search Engine 2", L"Nameid"), L"17171");
    EXPECT_EQ(Ini(own, L"Options", L"Default Search"), kOperaGoogleId);
    EXPECT_EQ(Ini(own, L"Search Engine 1", L"Name"), L"<none>");
    EXPECT_EQ(opera.GetSearchEngine(), L"Google (\u00e9)");

    // Run again: the region's Google section is found and renamed, not added twice.
    ASSERT_TRUE(opera.RestSearchToDefault());
    EXPECT_EQ(Ini(regional, L"Search Engine 3", L"UNIQUEID"), L"<none>");
    EXPECT_FALSE(platform::FileExists(regional + L".tarvo-new"));
}

TEST_F(OperaRestoreTest, ChromiumOperaUsesPreferences) {
    Install(L"20.0.1387.91");
    const std::wstring path = Write(L"Users\\Tester\\AppData\\Roaming\\Opera Software\\Opera Stable\\Preferences",
                                    R"({"default_search_provider":{"name":"Delta"},"homepage":"http://www.delta-search.com/"})");
    TOperaExplorerSet opera(env);
    EXPECT_EQ(opera.Version(), 20);
    EXPECT_EQ(opera.GetHomepage(), L"http://www.delta-search.com/");
    EXPECT_EQ(opera.GetSearchEngine(), L"Delta");
    ASSERT_TRUE(opera.SetHomepage());
    EXPECT_EQ(test::FileText(path), "\xEF\xBB\xBF{\r\n  \"default_search_provider\": {\r\n    \"name\": \"Delta\"\r\n  }\r\n}\r\n");
    EXPECT_FALSE(test::FileText(env.dataFolder + L"Preferences.bak") != "<missing>");  // no backup for Opera
}

TEST_F(OperaRestoreTest, NotInstalled) {
    TOperaExplorerSet opera(env);
    EXPECT_EQ(opera.Version(), -1);
    EXPECT_EQ(opera.ProfileFolder(), env.appDataFolder + L"\\Opera\\Opera\\");
    EXPECT_EQ(opera.GetHomepage(), L"");
    EXPECT_EQ(opera.GetSearchEngine(), L"Unknown");
    EXPECT_FALSE(opera.RestSearchToDefault());
}

}  // namespace
}  // namespace tarvo::browserdefaults
