// The shared rules of the restore and Internet Explorer's registry restore.
#include "browserdefaults/explorer_set.h"

#include "browserdefaults/browser_processes.h"
#include "browserdefaults/ie_explorer_set.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "restore_fixture.h"

namespace tarvo::browserdefaults {
namespace {

TEST(ExplorerSetRulesTest, SameSiteComparesHosts) {
    const struct {
        const wchar_t *a, *b;
        bool same;
    } cases[] = {
        {L"http://www.delta-search.com/?q=1", L" HTTP://WWW.Delta-Search.com ", true},
        {L"www.delta-search.com/home", L"http://www.delta-search.com", true},
        {L"https://www.delta-search.com/x", L"http://www.delta-search.com", true},
        {L"https://www.google.com/", L"https://www.bing.com/", false},  // not both "https:/"
        {L"http://a.com", L"http://a.com.evil.net", false},
        {L"", L"", true},
    };
    for (const auto& c : cases) EXPECT_EQ(SameSite(c.a, c.b), c.same) << c.a << L" | " << c.b;
}

TEST(ExplorerSetRulesTest, WindowsVersionCodes) {
    const struct {
        DWORD platform, major, minor;
        int code;
    } cases[] = {{VER_PLATFORM_WIN32_NT, 4, 0, 34}, {VER_PLATFORM_WIN32_NT, 5, 1, 51}, {VER_PLATFORM_WIN32_NT, 5, 2, 52},
                 {VER_PLATFORM_WIN32_NT, 6, 1, 61}, {VER_PLATFORM_WIN32_NT, 6, 3, 0},  {VER_PLATFORM_WIN32_NT, 10, 0, 0},
                 {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0}};
    for (const auto& c : cases) {
        OSVERSIONINFOEXW version{};
        version.dwPlatformId = c.platform;
        version.dwMajorVersion = c.major;
        version.dwMinorVersion = c.minor;
        EXPECT_EQ(WindowsVersionCode(version), c.code) << c.major << "." << c.minor;
    }
}

TEST(ExplorerSetRulesTest, OnlyTheBrowsersOwnExecutableIsClosed) {
    const std::vector<RunningImage> running = {
        {10, L"chrome.exe", L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe"},
        {11, L"CHROME.EXE", L"c:\\program files\\google\\chrome\\application\\CHROME.exe"},
        {12, L"chrome.exe", L"C:\\Games\\Launcher\\chrome.exe"},  // same name, someone else's program
        {13, L"chrome.exe", L""},                                 // path unreadable: not shown to be Chrome
        {14, L"firefox.exe", L"C:\\Program Files\\Mozilla Firefox\\firefox.exe"},
    };
    const std::vector<std::wstring> chrome = {L"C:\\Program Files\\Google\\Chrome\\Application\\chrome.exe"};
    EXPECT_EQ(ProcessesToClose(running, L"Chrome.exe", chrome), (std::vector<DWORD>{10, 11}));
    EXPECT_TRUE(ProcessesToClose(running, L"opera.exe", chrome).empty());
    const std::vector<RunningImage> opera = {{20, L"opera.exe", L"C:\\Program Files\\Opera\\20.0.1387.91\\opera.exe"},
                                             {21, L"opera.exe", L"C:\\Program Files\\Opera2\\opera.exe"}};
    EXPECT_EQ(ProcessesToClose(opera, L"opera.exe", {L"C:\\Program Files\\Opera\\"}), (std::vector<DWORD>{20}));
    EXPECT_EQ(CreateExplorerSet(BrowserKind::All, {}), nullptr);
    EXPECT_EQ(CreateExplorerSet(static_cast<BrowserKind>(6), {}), nullptr);
}

// Two running copies of one program under the same name in different folders: only the
// copy at the browser's own path is ended.
TEST(KillProcessesTest, EndsOnlyTheProcessAtTheBrowsersPath) {
    test::ScratchFolder scratch;
    const std::wstring exe = platform::GetModuleFilePath();
    const std::wstring program = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"fake_uninstaller.exe";
    std::vector<platform::StartedProcess> started;
    std::vector<std::wstring> paths;
    for (const wchar_t* folder : {L"Browser", L"Elsewhere"}) {
        const std::wstring path = scratch.MakeFolder(folder) + L"\\tarvo-browser.exe";
        ASSERT_TRUE(platform::CopyFileOf(program, path));
        auto process = platform::CreateProcessOf(L"\"" + path + L"\" sleeper \"" + scratch.PathOf(folder) + L"\\x\" 60000");
        ASSERT_TRUE(process);
        started.push_back(std::move(*process));
        paths.push_back(path);
    }
    EXPECT_TRUE(KillProcessesByName(L"TARVO-BROWSER.EXE", {paths[0]}));
    EXPECT_EQ(platform::WaitForExitCode(started[0].process.get(), 10000), 0u);
    EXPECT_FALSE(platform::WaitForExitCode(started[1].process.get(), 200));
    EXPECT_FALSE(KillProcessesByName(L"tarvo-browser.exe", {paths[0]}));  // none of ours left
    (void)platform::TerminateProcessOf(started[1].process.get(), 0);
    (void)platform::WaitForExitCode(started[1].process.get(), 10000);
}

class IERestoreTest : public test::RestoreTest {
protected:
    std::wstring User(const std::wstring& below) const { return env.keyPrefix + below; }
    platform::RegistryKey Key(const std::wstring& below) const {
        platform::RegistryKey key;
        EXPECT_EQ(key.Create(HKEY_CURRENT_USER, below), ERROR_SUCCESS);
        return key;
    }
    std::wstring Text(const std::wstring& below, const wchar_t* name) const {
        return platform::ReadStringValue({HKEY_CURRENT_USER, below}, name);
    }
    const std::wstring scopes = User(L"Software\\Microsoft\\Internet Explorer\\SearchScopes");
};

TEST_F(IERestoreTest, ReadsAndRestoresHomePageAndUnlocksPolicies) {
    TIEExplorerSet ie(env);
    EXPECT_EQ(ie.GetHomepage(), L"");
    EXPECT_EQ(ie.GetSearchEngine(), L"Bing");
    auto main = Key(User(L"Software\\Microsoft\\Internet Explorer\\Main"));
    ASSERT_EQ(main.SetString(L"Start Page", L"http://www.delta-search.com/"), ERROR_SUCCESS);
    ASSERT_EQ(main.SetString(L"Secondary Start Pages", L"http://ads.example/"), ERROR_SUCCESS);
    auto policy = Key(User(L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel"));
    ASSERT_EQ(policy.SetDword(L"Homepage", 1), ERROR_SUCCESS);
    EXPECT_EQ(ie.GetHomepage(), L"http://www.delta-search.com/");

    ASSERT_TRUE(ie.SetHomepage());
    EXPECT_EQ(ie.GetHomepage(), L"http://www.msn.com/?ocid=iehp");
    EXPECT_EQ(main.QueryString(L"Default_Page_URL"), L"http://www.msn.com/?ocid=iehp");
    EXPECT_FALSE(main.HasValue(L"Secondary Start Pages"));
    for (const wchar_t* name : {L"Homepage", L"Settings", L"Links", L"SecAddSites"})
        EXPECT_EQ(policy.QueryDword(name), 0u) << name;
}

TEST_F(IERestoreTest, SearchScopesEndOnBing) {
    // An existing "bing" scope of any case is reused; otherwise ours is made, but only where
    // the user has scopes at all.
    const struct {
        std::vector<std::pair<std::wstring, std::wstring>> scopes;  // key, display name
        std::wstring oldDefault, expectedDefault;
    } cases[] = {
        {{{L"{hijack}", L"Delta Search"}, {L"{b1}", L"bING"}}, L"{hijack}", L"{b1}"},
        {{{L"{hijack}", L"Delta Search"}}, L"{hijack}", kBingScopeName},
        {{}, L"", L""},
    };
    for (const auto& c : cases) {
        (void)platform::DeleteKey({HKEY_CURRENT_USER, env.keyPrefix + L"Software"});
        (void)platform::DeleteKey({HKEY_CURRENT_USER, env.machineKeyPrefix + L"Software"});
        auto root = Key(scopes);
        for (const auto& [key, name] : c.scopes) {
            auto scope = Key(scopes + L"\\" + key);
            ASSERT_EQ(scope.SetString(L"DisplayName", name), ERROR_SUCCESS);
            ASSERT_EQ(scope.SetDword(L"Deleted", 1), ERROR_SUCCESS);
        }
        if (!c.oldDefault.empty()) {
            ASSERT_EQ(root.SetString(L"DefaultScope", c.oldDefault), ERROR_SUCCESS);
            ASSERT_EQ(root.SetDword(L"DoNotAskAgain", 1), ERROR_SUCCESS);
        }
        auto preferences = Key(User(L"Software\\Microsoft\\Internet Explorer\\User Preferences"));
        preferences.Close();

        TIEExplorerSet ie(env);
        ASSERT_TRUE(ie.RestSearchToDefault());
        EXPECT_FALSE(platform::RegKeyExists(HKEY_CURRENT_USER, User(L"Software\\Microsoft\\Internet Explorer\\User Preferences"),
                                            platform::RegistryView::Default));
        EXPECT_EQ(Text(scopes, L"DefaultScope"), c.expectedDefault);
        EXPECT_FALSE(platform::ValueExists({HKEY_CURRENT_USER, scopes}, L"DoNotAskAgain"));
        EXPECT_EQ(Text(env.machineKeyPrefix + L"Software\\Microsoft\\Internet Explorer\\SearchScopes", L"DefaultScope"),
                  c.expectedDefault);
        if (!c.expectedDefault.empty()) {
            EXPECT_EQ(ie.GetSearchEngine(), c.expectedDefault == kBingScopeName ? L"Bing" : L"bING");
            EXPECT_EQ(platform::ReadIntegerValue({HKEY_CURRENT_USER, scopes + L"\\" + c.expectedDefault}, L"Deleted"), 0);
        } else {
            EXPECT_TRUE(Key(scopes).SubKeyNames().empty());
        }
    }
}

}  // namespace
}  // namespace tarvo::browserdefaults
