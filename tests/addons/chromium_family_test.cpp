// The Chrome family's cleaner over a user-data folder in today's layout: "Local State" naming
// two profiles, extensions in both preference files, and a block-list policy an
// administrator already set.
#include "addons/chromium_family.h"

#include <gtest/gtest.h>

#include "addons/all_browser_cleaner.h"
#include "addons/browser_cleaners.h"
#include "addons/browser_icon.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "support/scratch_folder.h"

namespace tarvo::addons {
namespace {

TEST(ExtensionPolicyListsTest, WildcardBlocksAllButTheAllowed) {
    const PolicyLists lists{{L"bad", L"*"}, {L"GOOD"}};
    const struct {
        const wchar_t* id;
        bool blocked;
    } cases[] = {{L"bad", true}, {L"good", false}, {L"other", true}};
    for (const auto& c : cases) EXPECT_EQ(lists.Blocks(c.id), c.blocked) << c.id;
    EXPECT_FALSE((PolicyLists{{L"bad"}, {}}).Blocks(L"other"));
}

const wchar_t kTestKey[] = L"Software\\TarvoTests\\ChromiumFamily";
const std::wstring kPolicyKey = std::wstring(kTestKey) + L"\\Policies\\Microsoft\\Edge";
const std::wstring kBlocklist = kPolicyKey + L"\\ExtensionInstallBlocklist";

class ChromiumFamilyTest : public ::testing::Test {
protected:
    void SetUp() override {
        (void)platform::DeleteKeyTree(HKEY_CURRENT_USER, kTestKey, platform::RegistryView::Wow64_64Key);
        env.localAppDataFolder = scratch.path();
        const std::wstring data = L"Microsoft\\Edge\\User Data\\";
        scratch.MakeFile(data + L"Local State", R"({"profile":{"info_cache":{"Default":{},"Profile 1":{},"..\\x":{}}}})");
        // Default: one extension in each file; the signed file's entry carries no manifest.
        scratch.MakeFile(data + L"Default\\Preferences",
                         R"({"extensions":{"settings":{"aaaa":{"path":"aaaa\\1.0_0","state":1,
                             "manifest":{"name":"Alpha","version":"1.0"}}}}})");
        scratch.MakeFile(data + L"Default\\Secure Preferences",
                         R"({"extensions":{"settings":{"bbbb":{"path":"bbbb\\2.0_0"}}}})");
        scratch.MakeFile(data + L"Default\\Extensions\\aaaa\\1.0_0\\manifest.json", "{}");
        scratch.MakeFile(data + L"Default\\Extensions\\bbbb\\2.0_0\\manifest.json",
                         "\xEF\xBB\xBF{\"name\":\"Beta\",\"version\":\"2.0\"}");
        // Profile 1: the same Alpha, one the user switched off in the browser, one whose folder is gone.
        scratch.MakeFile(data + L"Profile 1\\Secure Preferences",
                         R"({"extensions":{"settings":{"aaaa":{"path":"aaaa\\1.0_0","manifest":{"name":"Alpha","version":"1.0"}},
                             "cccc":{"path":"cccc\\3_0","disable_reasons":[1],"manifest":{"name":"Gamma","version":"3"}},
                             "gone":{"path":"gone\\1_0","manifest":{"name":"Gone"}}}}})");
        scratch.MakeFile(data + L"Profile 1\\Extensions\\aaaa\\1.0_0\\manifest.json", "{}");
        scratch.MakeFile(data + L"Profile 1\\Extensions\\cccc\\3_0\\manifest.json", "{}");
        // An administrator's block of Beta under "1".
        platform::RegistryKey list;
        ASSERT_EQ(list.Create(HKEY_CURRENT_USER, kBlocklist, KEY_READ | KEY_WRITE, platform::RegistryView::Wow64_64Key),
                  ERROR_SUCCESS);
        ASSERT_EQ(list.SetString(L"1", L"bbbb"), ERROR_SUCCESS);

        // A Beta channel beside the stable one belongs to the same browser code.
        scratch.MakeFile(L"Microsoft\\Edge Beta\\User Data\\Default\\Preferences",
                         R"({"extensions":{"settings":{"dddd":{"path":"dddd\\4_0","state":1,
                             "manifest":{"name":"Delta","version":"4"}}}}})");
        scratch.MakeFile(L"Microsoft\\Edge Beta\\User Data\\Default\\Extensions\\dddd\\4_0\\manifest.json", "{}");
        scratch.MakeFolder(L"BraveSoftware\\Brave-Browser\\User Data");  // no profile: not a browser found

        auto browsers = FindChromiumBrowsers(env);
        ASSERT_EQ(browsers.size(), 1u);
        EXPECT_EQ(browsers[0].kind, BrowserKind::Edge);
        EXPECT_EQ(browsers[0].userDataFolders.size(), 2u);
        browsers[0].policy = {kPolicyKey, HKEY_CURRENT_USER, std::wstring(kTestKey) + L"\\Record"};
        cleaner = std::make_unique<ChromiumFamilyCleaner>(env, std::move(browsers[0]));
    }
    void TearDown() override {
        (void)platform::DeleteKeyTree(HKEY_CURRENT_USER, kTestKey, platform::RegistryView::Wow64_64Key);
    }
    std::wstring BlockValue(const std::wstring& name) const {
        platform::RegistryKey list;
        if (list.Open(HKEY_CURRENT_USER, kBlocklist, KEY_READ, platform::RegistryView::Wow64_64Key) != ERROR_SUCCESS)
            return L"(no key)";
        return list.QueryString(name).value_or(L"");
    }
    TPluginItem& ItemNamed(const std::wstring& caption) {
        for (const auto& item : cleaner->Items())
            if (item->Caption == caption) return *item;
        ADD_FAILURE() << "no item";
        return *cleaner->Items().front();
    }

    test::ScratchFolder scratch;
    CleanerEnvironment env;
    std::unique_ptr<ChromiumFamilyCleaner> cleaner;
};

// The one in both profiles is one item with two paths; the one an administrator blocks is
// listed with that note; the one the user switched off in the browser and the one whose
// folder is gone are not.
TEST_F(ChromiumFamilyTest, ListsExtensionsOfEveryChannelAndProfileFromBothFiles) {
    ASSERT_TRUE(cleaner->IsInstalled());
    cleaner->ScanItems();
    ASSERT_EQ(cleaner->Items().size(), 3u);
    const TPluginItem& alpha = ItemNamed(L"Alpha");
    EXPECT_EQ(alpha.Browser, BrowserKind::Edge);
    EXPECT_EQ(alpha.Paths.size(), 2u);
    EXPECT_FALSE(alpha.BlockedByPolicy);
    const TPluginItem& beta = ItemNamed(L"Beta");
    EXPECT_EQ(beta.Version, L"2.0");  // from manifest.json, past its byte-order mark
    EXPECT_TRUE(beta.BlockedByPolicy);
    EXPECT_TRUE(beta.Present);
    EXPECT_EQ(ItemNamed(L"Delta").Paths.front(), scratch.PathOf(L"Microsoft\\Edge Beta\\User Data\\Default\\Extensions\\dddd\\4_0\\"));
}

TEST_F(ChromiumFamilyTest, SwitchesOffByPolicyAndBackOnlyWhatItAdded) {
    cleaner->ScanItems();
    const std::wstring preferences = scratch.PathOf(L"Microsoft\\Edge\\User Data\\Default\\Secure Preferences");
    const auto before = platform::ReadFileBytes(preferences);

    TPluginItem& alpha = ItemNamed(L"Alpha");
    TPluginItem& beta = ItemNamed(L"Beta");
    ASSERT_TRUE(cleaner->RemoveItem(alpha));
    EXPECT_EQ(BlockValue(L"1"), L"bbbb");  // the administrator's value keeps its number
    EXPECT_EQ(BlockValue(L"2"), L"aaaa");
    EXPECT_TRUE(alpha.BlockedByPolicy);
    ASSERT_TRUE(cleaner->RemoveItem(alpha));  // already listed: no second value
    ASSERT_TRUE(cleaner->RemoveItem(beta));   // blocked by someone else: nothing to add
    EXPECT_EQ(BlockValue(L"3"), L"");

    ASSERT_TRUE(cleaner->RestoreItem(alpha));
    EXPECT_EQ(BlockValue(L"2"), L"");
    EXPECT_FALSE(alpha.BlockedByPolicy);
    // A block this program did not add is never removed.
    EXPECT_FALSE(cleaner->RestoreItem(beta));
    EXPECT_TRUE(beta.BlockedByPolicy);
    EXPECT_EQ(BlockValue(L"1"), L"bbbb");
    EXPECT_EQ(platform::ReadFileBytes(preferences), before);  // the signed settings are never written
}

// A current Chrome takes Chrome's place and code, Edge joins after the four, and the
// all-browsers view merges the same extension in both into one row.
TEST_F(ChromiumFamilyTest, EachBrowserIsOneCleanerAndTwinsMergeAcrossThem) {
    scratch.MakeFile(L"Google\\Chrome\\User Data\\Local State", "{}");
    scratch.MakeFile(L"Google\\Chrome\\User Data\\Default\\Secure Preferences",
                     R"({"extensions":{"settings":{"aaaa":{"path":"aaaa\\1.0_0","manifest":{"name":"Alpha","version":"1.0"}}}}})");
    scratch.MakeFile(L"Google\\Chrome\\User Data\\Default\\Extensions\\aaaa\\1.0_0\\manifest.json", "{}");
    auto cleaners = MakeBrowserCleaners(env);
    std::vector<BrowserKind> kinds;
    TAllBrowserCleaner all;
    for (auto& each : cleaners) {
        if (auto* family = dynamic_cast<ChromiumFamilyCleaner*>(each.get())) {
            kinds.push_back(family->Family().kind);
            family->ScanItems();
        }
        all.AddCleaner(*each);
    }
    ASSERT_EQ(cleaners.size(), 5u);
    EXPECT_EQ(kinds, (std::vector<BrowserKind>{BrowserKind::Chrome, BrowserKind::Edge}));
    EXPECT_NE(dynamic_cast<ChromiumFamilyCleaner*>(cleaners[1].get()), nullptr);
    all.BuildMergedList();
    std::vector<std::set<BrowserKind>> rows;
    for (std::int32_t i = 0; i < all.MergedCount(); ++i)
        if (all.MergedItem(i)->Caption == L"Alpha") rows.push_back(all.BrowsersOf(*all.MergedItem(i)));
    EXPECT_EQ(rows, (std::vector<std::set<BrowserKind>>{{BrowserKind::Chrome, BrowserKind::Edge}}));
}

// Chromium's program shares Chrome's name: only its own folder may give its icon.
TEST_F(ChromiumFamilyTest, IconFileIsTheBrowsersOwnProgram) {
    const std::wstring vivaldi = scratch.MakeFile(L"Vivaldi\\Application\\vivaldi.exe", "MZ");
    const std::wstring chromium = scratch.MakeFile(L"Chromium\\Application\\chrome.exe", "MZ");
    EXPECT_EQ(BrowserIconFile(BrowserKind::Vivaldi, env), vivaldi);
    EXPECT_EQ(BrowserIconFile(BrowserKind::Chromium, env), chromium);
    EXPECT_EQ(BrowserIconFile(BrowserKind::Brave, env), L"");
}

}  // namespace
}  // namespace tarvo::addons
