// A current Firefox: extensions.json in every profile of profiles.ini, switched off in the
// profiles only while no Firefox holds them, or through policies.json's ExtensionSettings.
#include <gtest/gtest.h>

#include "addons/ff_browser_cleaner.h"
#include "addons/firefox_addon_database.h"
#include "addons/firefox_policy.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "support/scratch_folder.h"

namespace tarvo::addons {
namespace {

Json Parsed(const char* text) { return Json::parse(text); }

TEST(FirefoxAddonDatabaseTest, ListsInstalledExtensionsAndSwitchesThem) {
    Json database = Parsed(R"({"schemaVersion":36,"addons":[
        {"id":"one@x","type":"extension","location":"app-profile","version":"1.2","active":true,"userDisabled":false,
         "path":"C:/p/one@x.xpi","defaultLocale":{"name":"One","description":"First","creator":"Maker"}},
        {"id":"off@x","type":"extension","location":"app-profile","active":false,"userDisabled":true,
         "defaultLocale":{"name":"Off","creator":{"name":"Old Maker"}}},
        {"id":"old@x","type":"extension","location":"app-global","active":false,"userDisabled":false,"appDisabled":true},
        {"id":"screenshots@mozilla.org","type":"extension","location":"app-system-defaults","active":true},
        {"id":"theme@x","type":"theme","location":"app-profile","active":true},
        {"type":"extension"}, 7]})");
    const auto addons = ExtensionsInDatabase(database);
    ASSERT_EQ(addons.size(), 3u);
    EXPECT_EQ(addons[0].name + L"|" + addons[0].description + L"|" + addons[0].creator + L"|" + addons[0].version + L"|" +
                  addons[0].path,
              L"One|First|Maker|1.2|C:\\p\\one@x.xpi");
    EXPECT_TRUE(addons[0].running);
    EXPECT_EQ(addons[1].creator, L"Old Maker");
    EXPECT_FALSE(addons[1].running);

    EXPECT_TRUE(SetAddonEnabledIn(database, L"ONE@X", false));
    EXPECT_EQ(database["addons"][0]["userDisabled"], true);
    EXPECT_EQ(database["addons"][0]["active"], false);
    // Switched back on, one Firefox holds off for its own reasons stays inactive.
    EXPECT_TRUE(SetAddonEnabledIn(database, L"old@x", true));
    EXPECT_EQ(database["addons"][2]["active"], false);
    EXPECT_FALSE(SetAddonEnabledIn(database, L"missing@x", false));
}

TEST(FirefoxPolicyTest, BlocksWithoutOverwritingAnAdministratorsEntry) {
    const char* admin = R"({"policies":{"ExtensionSettings":{"kept@x":{"installation_mode":"allowed"},
                            "ours@x":{"installation_mode":"blocked"},"theirs@x":{"installation_mode":"blocked","blocked_install_message":"no"}}}})";
    const struct {
        const char* document;
        const wchar_t* id;
        PolicyEdit add, remove;
        bool blockedAfterAdd;
    } cases[] = {
        {"{}", L"new@x", PolicyEdit::Changed, PolicyEdit::Changed, true},
        {admin, L"kept@x", PolicyEdit::Refused, PolicyEdit::Refused, false},
        {admin, L"ours@x", PolicyEdit::Unchanged, PolicyEdit::Changed, true},
        {admin, L"theirs@x", PolicyEdit::Unchanged, PolicyEdit::Refused, true},
        {R"({"policies":{"ExtensionSettings":{"*":{"installation_mode":"blocked"}}}})", L"any@x", PolicyEdit::Unchanged,
         PolicyEdit::Unchanged, true},
        {R"({"policies":[]})", L"new@x", PolicyEdit::Refused, PolicyEdit::Unchanged, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.document << " " << std::string(c.id, c.id + wcslen(c.id)));
        Json policies = Parsed(c.document);
        EXPECT_EQ(AddBlockTo(policies, c.id), c.add);
        EXPECT_EQ(PoliciesBlock(policies, c.id), c.blockedAfterAdd);
        EXPECT_EQ(RemoveBlockFrom(policies, c.id), c.remove);
    }
}

const wchar_t kRecordKey[] = L"Software\\TarvoTests\\FirefoxPolicy";

// Two profiles (one relative, one absolute) with the same add-on, an administrator's policy.
class CurrentFirefoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        (void)platform::DeleteKeyTree(HKEY_CURRENT_USER, kRecordKey, platform::RegistryView::Wow64_64Key);
        env.appDataFolder = scratch.PathOf(L"Roaming");
        first = scratch.MakeFolder(L"Roaming\\Mozilla\\Firefox\\Profiles\\a.default") + L"\\";
        second = scratch.MakeFolder(L"Elsewhere\\b.work") + L"\\";
        const std::wstring secondPath = second.substr(0, second.size() - 1);
        scratch.MakeFile(L"Roaming\\Mozilla\\Firefox\\profiles.ini",
                         "\xEF\xBB\xBF[Profile1]\r\nName=work\r\nIsRelative=0\r\nPath=" +
                             std::string(secondPath.begin(), secondPath.end()) +
                             "\r\n\r\n[Install308046B0AF4A39CB]\r\nDefault=Profiles/a.default\r\n\r\n"
                             "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/a.default\r\n"
                             "\r\n[Profile2]\r\nName=gone\r\nIsRelative=1\r\nPath=Profiles/gone\r\n");
        for (const std::wstring& profile : {first, second}) {
            ASSERT_TRUE(platform::WriteFileBytes(profile + L"extensions.json", kDatabase));
            ASSERT_TRUE(platform::WriteFileBytes(profile + L"addonStartup.json.lz4", "cache"));
        }
        scratch.MakeFile(L"Firefox\\distribution\\policies.json",
                         R"({"policies":{"ExtensionSettings":{"blocked@x":{"installation_mode":"blocked"}}}})");
    }
    void TearDown() override {
        (void)platform::DeleteKeyTree(HKEY_CURRENT_USER, kRecordKey, platform::RegistryView::Wow64_64Key);
    }
    std::unique_ptr<TFFBrowserCleaner> MakeCleaner() {
        auto cleaner = std::make_unique<TFFBrowserCleaner>(env);
        cleaner->policyFile = {scratch.PathOf(L"Firefox\\distribution\\policies.json"), HKEY_CURRENT_USER, kRecordKey};
        cleaner->firefoxRunning = [this] { return running; };
        cleaner->retries.sleep = [](DWORD) {};
        cleaner->ScanItems();
        return cleaner;
    }
    static TPluginItem& Named(TFFBrowserCleaner& cleaner, const std::wstring& caption) {
        for (const auto& item : cleaner.Items())
            if (item->Caption == caption) return *item;
        ADD_FAILURE() << "no item";
        return *cleaner.Items().front();
    }

    static constexpr const char* kDatabase = R"({"schemaVersion":36,"addons":[
        {"id":"ad@x","type":"extension","location":"app-profile","version":"2.0","active":true,"userDisabled":false,
         "path":"C:\\x\\ad@x.xpi","defaultLocale":{"name":"Ad Helper","creator":"Ads Inc"}},
        {"id":"blocked@x","type":"extension","location":"app-profile","version":"1","active":false,"userDisabled":false,
         "defaultLocale":{"name":"Blocked One"}}]})";

    test::ScratchFolder scratch;
    CleanerEnvironment env;
    std::wstring first, second;
    bool running = false;
};

TEST_F(CurrentFirefoxTest, ListsEveryProfileAndSwitchesOffInEachWhileClosed) {
    auto cleaner = MakeCleaner();
    ASSERT_EQ(cleaner->ProfileFolders(), (std::vector<std::wstring>{second, first}));
    ASSERT_EQ(cleaner->Items().size(), 2u);
    TPluginItem& ad = Named(*cleaner, L"Ad Helper");
    EXPECT_EQ(ad.Publisher, L"Ads Inc");
    EXPECT_EQ(ad.Paths.size(), 2u);  // one item for both profiles
    EXPECT_TRUE(Named(*cleaner, L"Blocked One").BlockedByPolicy);
    EXPECT_FALSE(cleaner->RestoreItem(Named(*cleaner, L"Blocked One")));  // the administrator's block stays

    // A running Firefox, or one holding a profile, leaves every profile as it is.
    running = true;
    EXPECT_FALSE(cleaner->RemoveItem(ad));
    running = false;
    {
        const platform::unique_hfile lock = platform::CreateFileOf(second + L"parent.lock", GENERIC_WRITE, 0, CREATE_ALWAYS);
        ASSERT_TRUE(lock);
        EXPECT_FALSE(cleaner->RemoveItem(ad));
    }
    EXPECT_EQ(platform::ReadFileBytes(first + L"extensions.json"), std::string(kDatabase));

    ASSERT_TRUE(cleaner->RemoveItem(ad));  // the lock left behind by a closed Firefox is free
    for (const std::wstring& profile : {first, second}) {
        const Json database = Json::parse(*platform::ReadFileBytes(profile + L"extensions.json"));
        EXPECT_EQ(database["addons"][0]["userDisabled"], true);
        EXPECT_EQ(database["addons"][0]["active"], false);
        EXPECT_EQ(database["addons"][1], Json::parse(kDatabase)["addons"][1]);
        EXPECT_FALSE(platform::FileExists(profile + L"addonStartup.json.lz4"));
    }
    EXPECT_EQ(MakeCleaner()->Items().size(), 1u);
}

TEST_F(CurrentFirefoxTest, SwitchesOffByPolicyAndLiftsOnlyItsOwnBlock) {
    auto cleaner = MakeCleaner();
    cleaner->switchOffByPolicy = true;
    running = true;  // the policy file is read when Firefox starts: no need to wait for it to close
    TPluginItem& ad = Named(*cleaner, L"Ad Helper");
    TPluginItem& blocked = Named(*cleaner, L"Blocked One");
    ASSERT_TRUE(cleaner->RemoveItem(ad));
    ASSERT_TRUE(cleaner->RemoveItem(blocked));
    const std::wstring file = scratch.PathOf(L"Firefox\\distribution\\policies.json");
    EXPECT_TRUE(PoliciesBlock(*ReadPolicies(file), L"ad@x"));
    EXPECT_EQ(platform::ReadFileBytes(first + L"extensions.json"), std::string(kDatabase));

    EXPECT_TRUE(cleaner->RestoreItem(ad));
    EXPECT_FALSE(ad.BlockedByPolicy);
    EXPECT_FALSE(cleaner->RestoreItem(blocked));  // the administrator's block stays
    EXPECT_EQ(*ReadPolicies(file), Parsed(R"({"policies":{"ExtensionSettings":{"blocked@x":{"installation_mode":"blocked"}}}})"));
}

}  // namespace
}  // namespace tarvo::addons
