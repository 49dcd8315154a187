// Chrome's home page in Preferences and its engine in Web Data, read and restored in a
// profile the tests write.
#include "browserdefaults/chrome_explorer_set.h"
#include "browserdefaults/chromium_family_explorer_set.h"

#include "browserdefaults/chromium_startup.h"
#include "platform/sqlite_database.h"
#include "restore_fixture.h"

namespace tarvo::browserdefaults {
namespace {

const wchar_t kProfile[] = L"Users\\Tester\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\";

const char kHijacked[] = R"({"backup":{"homepage":"http://x"},"browser":{"show_home_button":true,"window":{"w":1.50}},)"
                         R"("homepage":"http://www.delta-search.com/?s=1","homepage_is_newtabpage":false,)"
                         R"("profile":{"exit_type":"Crashed","name":"Ann"},"session":{"restore_on_startup":4,)"
                         R"("urls_to_restore_on_startup":["http://news.example/","http://www.delta-search.com/"]},)"
                         R"("sync":{"keep_everything_synced":true}})";

class ChromeRestoreTest : public test::RestoreTest {
protected:
    std::wstring Preferences(const std::string& bytes) { return Write(std::wstring(kProfile) + L"Preferences", bytes); }
    // A Web Data with Chrome's two tables, an engine of the hijacker's as the default and,
    // when asked, the stock Google row.
    void WebData(bool withGoogle) {
        ASSERT_TRUE(sqliteLoaded);
        scratch.MakeFolder(std::wstring(kProfile).substr(0, std::wstring(kProfile).size() - 1));
        platform::SqliteDatabase db;
        ASSERT_EQ(db.Open(sqlite, scratch.PathOf(std::wstring(kProfile) + L"Web Data"), true), 0);
        ASSERT_EQ(db.Execute("CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR)"), 0);
        ASSERT_EQ(db.Execute("CREATE TABLE keywords (id INTEGER PRIMARY KEY,short_name VARCHAR NOT NULL,"
                             "keyword VARCHAR NOT NULL,favicon_url VARCHAR NOT NULL,url VARCHAR NOT NULL,"
                             "safe_for_autoreplace INTEGER,originating_url VARCHAR,date_created INTEGER DEFAULT 0,"
                             "usage_count INTEGER DEFAULT 0,input_encodings VARCHAR,show_in_default_list INTEGER,"
                             "suggest_url VARCHAR,prepopulate_id INTEGER DEFAULT 0,created_by_policy INTEGER DEFAULT 0,"
                             "instant_url VARCHAR,last_modified INTEGER DEFAULT 0,sync_guid VARCHAR,"
                             "alternate_urls VARCHAR,search_terms_replacement_key VARCHAR)"),
                  0);
        ASSERT_EQ(db.Execute("INSERT INTO keywords(id,short_name,keyword,favicon_url,url) VALUES(7,'Delta Search',"
                             "'delta-search.com','http://www.delta-search.com/favicon.ico','http://www.delta-search.com/?q={searchTerms}')"),
                  0);
        if (withGoogle) {
            ASSERT_EQ(db.Execute("INSERT INTO keywords(id,short_name,keyword,favicon_url,url) VALUES(3,'Google',"
                                 "'google.com','https://www.google.com/favicon.ico','{google:baseURL}search?q={searchTerms}')"),
                      0);
        }
        ASSERT_EQ(db.Execute("INSERT INTO meta VALUES('Default Search Provider ID','7')"), 0);
    }
    std::int64_t Count(const char* sql) {
        platform::SqliteDatabase db;
        EXPECT_EQ(db.Open(sqlite, scratch.PathOf(std::wstring(kProfile) + L"Web Data"), false), 0);
        auto statement = db.Prepare(sql);
        return statement.Step() == platform::SqliteLibrary::kRow ? statement.ColumnInt(0) : -1;
    }
};

TEST_F(ChromeRestoreTest, HomepageShownIsTheHijackerWhereverItSits) {
    const struct {
        const char* json;
        const wchar_t* shown;
    } cases[] = {
        {kHijacked, L"http://www.delta-search.com/?s=1"},
        {R"({"homepage":"http://mine.example/","session":{"urls_to_restore_on_startup":["http://a/","http://www.delta-search.com/q","http://b/"]}})",
         L"http://www.delta-search.com/q"},
        {R"({"homepage":"http://mine.example/","session":{"urls_to_restore_on_startup":["http://a/","http://b/"]}})", L"http://b/"},
        {R"({"homepage":"http://mine.example/","session":{"urls_to_restore_on_startup":[]}})", L"http://mine.example/"},
        {R"({"homepage":"http://mine.example/"})", L"http://mine.example/"},
        {R"([1,2])", L""},
    };
    for (const auto& c : cases) {
        const auto document = addons::ParseJsonKeepingNumbers(c.json);
        ASSERT_TRUE(document) << c.json;
        EXPECT_EQ(ChromiumHomepage(*document, env.stock.hijacker), c.shown) << c.json;
    }
}

TEST_F(ChromeRestoreTest, RestoresPreferencesToTheGoldenFileAndKeepsABackup) {
    const std::wstring path = Preferences(kHijacked);
    TChromeExplorerSet chrome(env);
    EXPECT_EQ(chrome.PreferencesPath(), path);
    EXPECT_EQ(chrome.GetHomepage(), L"http://www.delta-search.com/?s=1");
    ASSERT_TRUE(chrome.SetHomepage());
    EXPECT_EQ(test::FileText(path), test::FileText(test::RestoreFixture(L"chrome_preferences.json")));
    EXPECT_EQ(test::FileText(env.dataFolder + L"Preferences.bak"), kHijacked);
    EXPECT_EQ(chrome.GetHomepage(), L"");
    EXPECT_TRUE(waits.empty());

    // No "session" member: none is added.
    Preferences(R"({"homepage":"http://x/"})");
    ASSERT_TRUE(chrome.SetHomepage());
    EXPECT_EQ(test::FileText(path), "\xEF\xBB\xBF{}\r\n");
}

TEST_F(ChromeRestoreTest, DamagedOrLockedPreferencesAreLeftAsTheyWere) {
    TChromeExplorerSet chrome(env);
    EXPECT_FALSE(chrome.SetHomepage());  // no profile at all
    for (const char* damaged : {R"({"homepage":"http://x/",)", "[1,2,3]", "\xFF\xFE\x00"}) {
        const std::wstring path = Preferences(damaged);
        EXPECT_FALSE(chrome.SetHomepage()) << damaged;
        EXPECT_EQ(test::FileText(path), damaged);
        EXPECT_EQ(chrome.GetHomepage(), L"");
    }
    const std::wstring path = Preferences(kHijacked);
    {
        test::LockedFile lock(path);
        ASSERT_TRUE(lock.locked());
        waits.clear();
        EXPECT_FALSE(chrome.SetHomepage());
        EXPECT_EQ(waits, std::vector<DWORD>(7, 500));  // eight tries, a wait between each two
    }
    EXPECT_EQ(test::FileText(path), kHijacked);
    EXPECT_FALSE(platform::FileExists(path + L".tarvo-new"));
}

TEST_F(ChromeRestoreTest, SearchEngineBecomesGoogleInOneTransaction) {
    for (const bool withGoogle : {false, true}) {
        SCOPED_TRACE(withGoogle);
        (void)platform::DeleteFileOf(scratch.PathOf(std::wstring(kProfile) + L"Web Data"));
        TChromeExplorerSet chrome(env);
        EXPECT_EQ(chrome.GetSearchEngine(), L"Unknown");
        WebData(withGoogle);
        EXPECT_EQ(chrome.GetSearchEngine(), L"Delta Search");
        ASSERT_TRUE(chrome.RestSearchToDefault());
        EXPECT_EQ(chrome.GetSearchEngine(), L"Google");
        EXPECT_EQ(Count("SELECT COUNT(*) FROM keywords WHERE short_name='Google'"), 1);
        EXPECT_EQ(Count("SELECT value FROM meta WHERE key='Default Search Provider ID'"), withGoogle ? 3 : 8);
        EXPECT_EQ(Count("SELECT COUNT(*) FROM meta"), 1);
        if (!withGoogle) {
            EXPECT_EQ(Count("SELECT COUNT(*) FROM keywords WHERE id=8 AND length(sync_guid)=36 AND "
                            "search_terms_replacement_key='espv' AND alternate_urls LIKE '[\"{google:baseURL}#q=%'"),
                      1);
        }
    }
}

TEST_F(ChromeRestoreTest, AFailedSearchRestoreRollsBack) {
    WebData(false);
    {
        platform::SqliteDatabase db;
        ASSERT_EQ(db.Open(sqlite, scratch.PathOf(std::wstring(kProfile) + L"Web Data"), false), 0);
        // Chrome's older schema has no sync_guid: the insert fails after the look-up.
        ASSERT_EQ(db.Execute("ALTER TABLE keywords RENAME TO old_keywords"), 0);
        ASSERT_EQ(db.Execute("CREATE TABLE keywords(id INTEGER PRIMARY KEY,short_name,keyword,favicon_url,url)"), 0);
        ASSERT_EQ(db.Execute("INSERT INTO keywords SELECT id,short_name,keyword,favicon_url,url FROM old_keywords"), 0);
    }
    TChromeExplorerSet chrome(env);
    EXPECT_FALSE(chrome.RestSearchToDefault());
    EXPECT_EQ(chrome.GetSearchEngine(), L"Delta Search");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM keywords"), 1);
}

// Edge (and today's Chrome, whose "Local State" names its profiles) restores every profile
// named there, in every channel; a profile named there whose folder is gone is passed over,
// and one whose Preferences cannot be parsed fails the restore without being written.
TEST_F(ChromeRestoreTest, ChromiumFamilyRestoresEveryProfile) {
    for (const auto& [kind, vendor] : {std::pair{BrowserKind::Edge, L"Microsoft\\Edge"},
                                       std::pair{BrowserKind::Chrome, L"Google\\Chrome"}}) {
        const std::wstring local = L"Users\\Tester\\AppData\\Local\\";
        const std::wstring root = local + vendor + L"\\User Data\\";
        Write(root + L"Local State", R"({"profile":{"info_cache":{"Default":{},"Profile 1":{},"Profile 9":{}}}})");
        const std::wstring first = Write(root + L"Default\\Preferences", kHijacked);
        const std::wstring second = Write(root + L"Profile 1\\Preferences", kHijacked);
        const std::wstring beta = Write(local + vendor + L" Beta\\User Data\\Default\\Preferences", kHijacked);
        const auto set = CreateExplorerSet(kind, env);
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(set->GetHomepage(), L"http://www.delta-search.com/?s=1");
        ASSERT_TRUE(set->SetHomepage());
        for (const std::wstring& path : {first, second, beta})
            EXPECT_EQ(test::FileText(path), test::FileText(test::RestoreFixture(L"chrome_preferences.json"))) << path;
        EXPECT_TRUE(set->RestSearchToDefault());  // no Web Data anywhere: nothing to restore

        Write(root + L"Profile 1\\Preferences", "{not json");
        Write(root + L"Default\\Preferences", kHijacked);
        EXPECT_FALSE(set->SetHomepage());
        EXPECT_EQ(test::FileText(second), "{not json");
    }
    EXPECT_FALSE(CreateExplorerSet(BrowserKind::Brave, env)->Found());
}

}  // namespace
}  // namespace tarvo::browserdefaults
