// Firefox's home page and engine in a profile the tests write: prefs.js, user.js,
// search.json and the search plug-in beside the program.
#include "browserdefaults/firefox_explorer_set.h"

#include "addons/json_format.h"
#include "browserdefaults/mozlz4.h"

#include "platform/text.h"
#include "restore_fixture.h"

namespace tarvo::browserdefaults {
namespace {

const char kPrefs[] =
    "# Mozilla User Preferences\n"
    "\n"
    "user_pref(\"browser.startup.homepage\", \"http://www.delta-search.com/?babsrc=HP\");\n"
    "user_pref(\"browser.startup.homepage_override.mstone\", \"27.0\");\n"
    "user_pref(\"browser.startup.page\", 3);\n"
    "user_pref(\"browser.search.defaultenginename\", \"Delta Search\");\n"
    "user_pref(\"browser.search.selectedEngine\", \"Delta Search\");\n"
    "USER_PREF(\"browser.search.defaultengine\", \"Delta\");\n"
    "user_pref(\"keyword.URL\", \"http://www.delta-search.com/?q=\");\n"
    "user_pref(\"browser.newtab.url\", \"http://www.delta-search.com/\");\n"
    "user_pref(\"general.useragent.locale\", \"fr-FR\");\n"
    "user_pref(\"print.print_footerleft\", \"Caf\xC3\xA9\");\n";

const char kSearchJson[] =
    R"({"version":7,"directories":{"C:\\Program Files\\Mozilla Firefox\\browser\\searchplugins":{"engines":[)"
    R"({"_id":"[app]/google.xml","_name":"Google","_hidden":true},{"_id":"[app]/bing.xml","_name":"Bing"}]},)"
    R"("profile":{"engines":[{"_id":"[profile]/delta.xml","_name":"Delta Search","_hidden":false}]}}})";

class FirefoxRestoreTest : public test::RestoreTest {
protected:
    void SetUp() override {
        const std::wstring program = scratch.MakeFolder(L"Program Files\\Mozilla Firefox");
        Write(L"Users\\Tester\\AppData\\Roaming\\Mozilla\\Firefox\\profiles.ini",
              "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=old\r\nIsRelative=1\r\nPath=Profiles/old.x\r\n\r\n"
              "[Profile1]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/abc.default\r\nDefault=1\r\n");
        scratch.MakeFolder(L"Users\\Tester\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\old.x");
        profile = scratch.MakeFolder(L"Users\\Tester\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\abc.default") + L"\\";
        Write(ProfileFile(L"extensions.ini"), platform::Utf8FromWide(L"[ThemeDirs]\r\nExtension0=" + program +
                                                                        L"\\extensions\\{972ce4c6-7e08-4474-a285-3208198ce6fd}\r\n"));
        Write(ProfileFile(L"prefs.js"), kPrefs);
        Write(ProfileFile(L"search.json"), kSearchJson);
        Write(ProfileFile(L"sessionstore.js"), "{}");
        pluginPath = program + L"\\searchplugins\\google.xml";
    }
    std::wstring ProfileFile(const wchar_t* name) const {
        return L"Users\\Tester\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\abc.default\\" + std::wstring(name);
    }
    std::wstring profile, pluginPath;
};

TEST_F(FirefoxRestoreTest, FindsTheDefaultProfileAndReadsItsValues) {
    TFireFoxExplorerSet firefox(env);
    EXPECT_EQ(firefox.ProfileFolder(), profile);
    EXPECT_EQ(firefox.ProgramFolder(), scratch.PathOf(L"Program Files\\Mozilla Firefox\\"));
    EXPECT_EQ(firefox.GetHomepage(), L"http://www.delta-search.com/?babsrc=HP");
    EXPECT_EQ(firefox.GetSearchEngine(), L"Delta Search");

    Write(ProfileFile(L"user.js"), "user_pref(\"Browser.Startup.Homepage\",  \"http://mine.example/\" );\r\n");
    EXPECT_EQ(firefox.GetHomepage(), L"http://mine.example/");
    Write(ProfileFile(L"prefs.js"), "user_pref(\"browser.search.selectedEngine\", \"Google\");\n");
    EXPECT_EQ(firefox.GetSearchEngine(), L"Unknown");  // hidden in search.json
    Write(ProfileFile(L"prefs.js"), "user_pref(\"browser.search.defaultenginename\", \"Bing\");\n");
    EXPECT_EQ(firefox.GetSearchEngine(), L"Bing");
}

TEST_F(FirefoxRestoreTest, RestoresToTheGoldenFiles) {
    const std::string userJs = "user_pref(\"browser.startup.homepage\", \"http://mine.example/\");\n";
    Write(ProfileFile(L"user.js"), userJs);
    TFireFoxExplorerSet firefox(env);
    ASSERT_TRUE(firefox.SetHomepage());
    ASSERT_TRUE(firefox.RestSearchToDefault());
    EXPECT_EQ(test::FileText(profile + L"prefs.js"), test::FileText(test::RestoreFixture(L"firefox_prefs.js")));
    EXPECT_EQ(test::FileText(profile + L"search.json"), test::FileText(test::RestoreFixture(L"firefox_search.json")));
    EXPECT_EQ(test::FileText(pluginPath), test::FileText(test::RestoreFixture(L"google.xml")));
    EXPECT_EQ(test::FileText(profile + L"user.js"), userJs);
    EXPECT_FALSE(platform::FileExists(profile + L"sessionstore.js"));
    EXPECT_EQ(firefox.GetSearchEngine(), L"Google");
    EXPECT_TRUE(waits.empty());

    // A second run changes nothing more: the plug-in stays, no line is doubled.
    ASSERT_TRUE(firefox.SetHomepage());
    ASSERT_TRUE(firefox.RestSearchToDefault());
    EXPECT_EQ(test::FileText(profile + L"prefs.js"), test::FileText(test::RestoreFixture(L"firefox_prefs.js")));
}

TEST_F(FirefoxRestoreTest, FilesItCannotReadAreLeftAlone) {
    TFireFoxExplorerSet firefox(env);
    const std::string latin1 = "user_pref(\"browser.startup.homepage\", \"http://caf\xE9.example/\");\n";
    Write(ProfileFile(L"prefs.js"), latin1);
    EXPECT_FALSE(firefox.SetHomepage());
    EXPECT_EQ(test::FileText(profile + L"prefs.js"), latin1);

    Write(ProfileFile(L"prefs.js"), kPrefs);
    Write(ProfileFile(L"search.json"), "{\"directories\":");
    EXPECT_FALSE(firefox.RestSearchToDefault());
    EXPECT_EQ(test::FileText(profile + L"search.json"), "{\"directories\":");
    EXPECT_EQ(test::FileText(profile + L"prefs.js"), kPrefs);

    {
        test::LockedFile lock(scratch.PathOf(ProfileFile(L"prefs.js")));
        ASSERT_TRUE(lock.locked());
        EXPECT_FALSE(firefox.SetHomepage());
        EXPECT_EQ(waits, std::vector<DWORD>(7, 500));
    }
    EXPECT_EQ(test::FileText(profile + L"prefs.js"), kPrefs);
}

// Current Firefox: the engines and the chosen default in search.json.mozlz4. The restore
// takes the hijacked default out (Firefox then uses its own) and keeps every engine.
TEST_F(FirefoxRestoreTest, CurrentProfilesKeepTheirEnginesInTheCompressedList) {
    const std::string engines =
        R"({"version":6,"engines":[{"id":"google","_name":"Google","_isConfigEngine":true,"_metaData":{"hidden":true,"order":1}},)"
        R"({"id":"e-1","_name":"Evil Search","_loadPath":"[addon]evil@example","_metaData":{}},)"
        R"({"id":"w-2","_name":"My Wiki \u00e9","_loadPath":"[user]","_metaData":{"alias":"w"}}],)"
        R"("metaData":{"useSavedOrder":true,"defaultEngineId":"e-1","defaultEngineIdHash":"h1","current":"Evil Search",)"
        R"("hash":"h2","privateDefaultEngineId":"e-1","privateDefaultEngineIdHash":"h3"}})";
    const std::wstring compressed = ProfileFile(L"search.json.mozlz4");
    Write(compressed, *EncodeMozLz4(engines));
    TFireFoxExplorerSet firefox(env);
    EXPECT_EQ(firefox.GetSearchEngine(), L"Evil Search");

    ASSERT_TRUE(firefox.RestSearchToDefault());
    const auto plain = DecodeMozLz4(test::FileText(profile + L"search.json.mozlz4"));
    ASSERT_TRUE(plain);
    auto expected = *addons::ParseJsonKeepingNumbers(engines);
    expected["metaData"] = {{"useSavedOrder", true}};
    expected["engines"][0]["_metaData"]["hidden"] = false;
    EXPECT_EQ(*addons::ParseJsonKeepingNumbers(*plain), expected);
    EXPECT_EQ(firefox.GetSearchEngine(), L"Google");

    // A list that does not decode is the user's: left exactly as it is, and the restore fails.
    const std::string damaged = EncodeMozLz4(engines)->substr(0, 40);
    Write(compressed, damaged);
    EXPECT_FALSE(firefox.RestSearchToDefault());
    EXPECT_EQ(test::FileText(profile + L"search.json.mozlz4"), damaged);
}

TEST(MozLz4Test, ReadsFirefoxsBlockAndRefusesWhatItCannotTrust) {
    // "hello" as one LZ4 sequence of literals, as Firefox writes a short file.
    const std::string hello = std::string("mozLz40\0\x05\0\0\0\x50hello", 18);
    EXPECT_EQ(DecodeMozLz4(hello), "hello");
    std::string large;
    for (int i = 0; i < 5000; ++i) large += R"({"_name":"Engine )" + std::to_string(i) + R"("},)";
    for (const std::string& plain : {std::string(), std::string("x"), large}) {
        const auto file = EncodeMozLz4(plain);
        ASSERT_TRUE(file);
        EXPECT_EQ(DecodeMozLz4(*file), plain);
    }
    const std::string good = *EncodeMozLz4(large);
    std::string wrongMagic = good, bigClaim = good, hugeClaim = good;
    wrongMagic[6] = '5';
    bigClaim[8] = static_cast<char>(bigClaim[8] + 1);  // one byte more than the block holds
    hugeClaim[11] = '\x7F';
    for (const std::string& file : {std::string("mozLz40"), wrongMagic, bigClaim, hugeClaim, good.substr(0, good.size() - 9)})
        EXPECT_FALSE(DecodeMozLz4(file)) << file.size();
}

TEST(FirefoxPrefsTextTest, HomepageValue) {
    const struct {
        const wchar_t *text, *value;
    } cases[] = {
        {L"user_pref(\"browser.startup.homepage\", \"http://a/\");", L"http://a/"},
        {L"x\nUSER_PREF(\"browser.startup.homepage\",\"http://a/|http://b/\");\ny", L"http://a/|http://b/"},
        {L"user_pref(\"browser.startup.homepage_override.mstone\", \"27.0\");", L""},
        {L"user_pref(\"browser.startup.homepage\", \"http://a/\"", L"http://a/"},  // no ");": to the end
    };
    for (const auto& c : cases) EXPECT_EQ(HomepagePreference(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace tarvo::browserdefaults
