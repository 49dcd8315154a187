// Chrome's add-ons read from and switched off in a profile the tests write.
#include "addons/chrome_browser_cleaner.h"

#include <gtest/gtest.h>

#include "addons/chrome_preferences.h"
#include "addons_fixture_path.h"
#include "addons_sqlite.h"
#include "platform/files.h"
#include "platform/text.h"
#include "support/scratch_folder.h"

namespace tarvo::addons {
namespace {

const wchar_t kProfile[] = L"Google\\Chrome\\User Data\\Default\\";

// A path as a JSON text with "/" for "\\" and one doubled, as other programs write them.
std::string ForwardSlashes(const std::wstring& path) {
    std::string text = platform::Utf8FromWide(path);
    for (char& c : text)
        if (c == '\\') c = '/';
    const auto slash = text.find('/');
    return slash == std::string::npos ? text : text.substr(0, slash) + "/" + text.substr(slash);
}

class ChromeCleanerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::LoadTestSqlite(sqlite));
        env.sqlite = &sqlite;
        env.appDataFolder = scratch.PathOf(L"Roaming");
        env.localAppDataFolder = scratch.path();
        cleaner = std::make_unique<TChromeBrowserCleaner>(env);
        cleaner->retries.sleep = [this](DWORD milliseconds) { waits.push_back(milliseconds); };
    }
    std::wstring WritePreferences(const std::string& text) {
        return scratch.MakeFile(std::wstring(kProfile) + L"Preferences", text);
    }
    std::string Preferences() const { return platform::ReadFileBytes(cleaner->PreferencesPath()).value_or(""); }
    std::wstring Fixture(const std::wstring& relative) const {
        const std::wstring target = scratch.PathOf(relative);
        scratch.MakeFolder(relative.substr(0, relative.find_last_of(L'\\')));
        EXPECT_TRUE(platform::CopyFileOf(test::AddonFixture(L"VersionFixture.dll"), target));
        return target;
    }
    // "caption|first path" of every item, in the order found.
    std::vector<std::wstring> Listing() const {
        std::vector<std::wstring> lines;
        for (const auto& item : cleaner->Items())
            lines.push_back(std::to_wstring(static_cast<int>(item->Collection.AddonKind)) + L" " + item->Caption + L"|" +
                            item->Paths.front());
        return lines;
    }
    TPluginItem Item(AddonKind kind, const std::wstring& itemId, const std::wstring& caption, const std::wstring& path,
                     const std::wstring& version) const {
        TPluginItem item;
        item.Collection.AddonKind = kind;
        item.ItemId = itemId;
        item.Caption = caption;
        item.Paths = {path};
        item.Version = version;
        return item;
    }

    platform::SqliteLibrary sqlite;
    test::ScratchFolder scratch;
    CleanerEnvironment env;
    std::unique_ptr<TChromeBrowserCleaner> cleaner;
    std::vector<DWORD> waits;
};

TEST_F(ChromeCleanerTest, ListsEnabledExtensionsAndPluginsFromEverySource) {
    const std::wstring profile = scratch.PathOf(kProfile);
    for (const wchar_t* id : {L"aaa", L"bbb", L"ccc", L"eee"}) scratch.MakeFolder(std::wstring(kProfile) + L"Extensions\\" + id);
    const std::wstring carried = Fixture(std::wstring(kProfile) + L"Extensions\\aaa\\1.0_0\\np\\carried.dll");
    const std::wstring dropped = Fixture(std::wstring(kProfile) + L"Extensions\\eee\\2_0\\off.dll");
    const std::wstring own = Fixture(L"Google\\Chrome\\Application\\plugins\\sub\\own.dll");
    scratch.MakeFile(L"Google\\Chrome\\Application\\plugins\\notes.txt", "x");
    WritePreferences(R"({"extensions":{"settings":{
        "aaa":{"state":1,"path":"aaa\\1.0_0","manifest":{"name":"Alpha & Co","description":"first","version":"1,2",
               "plugins":[{"path":"np/carried.dll"},{"nopath":1}]}},
        "bbb":{"state":0,"path":"bbb\\1","manifest":{"name":"Off"}},
        "ccc":{"state":1,"ack_blacklist":true,"path":"ccc\\1","manifest":{"name":"Blacklisted"}},
        "ddd":{"state":1,"path":"ddd\\1","manifest":{"name":"No folder"}},
        "eee":{"state":1,"path":"eee\\2_0","manifest":{"name":"Echo","plugins":[{"path":"off.dll"}]}},
        "fff":{"state":1,"path":"fff"}}},
      "plugins":{"plugins_list":[
        {"path":"internal-remoting-viewer","name":"Remoting viewer","enabled":true,"version":"1"},
        {"path":"C:/nowhere/gone.dll","name":"Gone","enabled":true},
        {"path":")" + ForwardSlashes(dropped) + R"(","name":"Off plug-in","enabled":false}]}})");

    cleaner->ScanItems();

    EXPECT_EQ(Listing(), (std::vector<std::wstring>{
                             L"1 Alpha  Co|" + profile + L"Extensions\\aaa\\1.0_0\\",
                             L"1 Echo|" + profile + L"Extensions\\eee\\2_0\\",
                             L"2 Remoting viewer|internal-remoting-viewer",
                             L"2 Tarvo Fixture|" + carried,
                         }));
    EXPECT_EQ(cleaner->Items()[0]->Version, L"1.2");
    // The carried plug-in and Chrome's own copy are one add-on with two files; the file the
    // user switched off in Chrome is not offered at all.
    EXPECT_EQ(cleaner->Items()[3]->Paths, (std::vector<std::wstring>{carried, own}));
    EXPECT_EQ(cleaner->Items()[3]->Publisher, L"Tarvo Testhaus GmbH");
}

TEST_F(ChromeCleanerTest, DisablingAnExtensionRewritesTheWholeFileAsOneLine) {
    // Several megabytes of other settings, a fraction and a non-ASCII text must survive.
    std::string padding;
    for (int i = 0; i < 20000; ++i) padding += R"({"k":"value number )" + std::to_string(i) + R"( with some text","n":1.50},)";
    padding.pop_back();
    const std::string before = "\xEF\xBB\xBF" R"({"zoom":1.50,"extensions":{"settings":{"ABC":{"state":1,"manifest":{"name":"Caf\u00e9 é"}}}},"big":[)" +
                               padding + "]}";
    WritePreferences(before);
    TPluginItem item = Item(AddonKind::Extension, L"abc", L"Café é", L"x", L"");

    ASSERT_TRUE(cleaner->RemoveItem(item));

    const std::string after = Preferences();
    EXPECT_EQ(after.find('\n'), std::string::npos);
    EXPECT_EQ(after.compare(0, 42, R"({"zoom":1.50,"extensions":{"settings":{"AB)"), 0);
    EXPECT_NE(after.find(R"("state":0,"manifest":{"name":"Caf\u00e9 \u00e9"})"), std::string::npos);
    auto expected = ParseJsonKeepingNumbers(before.substr(3));
    (*expected)["extensions"]["settings"]["ABC"]["state"] = 0;
    EXPECT_EQ(*ParseJsonKeepingNumbers(after), *expected);
    EXPECT_FALSE(platform::FileExists(cleaner->PreferencesPath() + L".tarvo-new"));
}

TEST_F(ChromeCleanerTest, DisablingAPluginAddsItsTwoEntriesOnceAndWritesIndentedText) {
    WritePreferences(R"({"a":{"b":1}})");
    TPluginItem item = Item(AddonKind::Plugin, L"Flash", L"Flash", L"C:\\p\\flash.dll", L"11.2");

    ASSERT_TRUE(cleaner->RemoveItem(item));
    ASSERT_TRUE(cleaner->RemoveItem(item));

    EXPECT_EQ(Preferences(), "\xEF\xBB\xBF{\r\n  \"a\": {\r\n    \"b\": 1\r\n  },\r\n  \"plugins\": {\r\n"
                             "    \"plugins_list\": [ {\r\n"
                             "        \"enabled\": false,\r\n        \"name\": \"Flash\",\r\n"
                             "        \"path\": \"C:\\\\p\\\\flash.dll\",\r\n        \"version\": \"11.2\"\r\n      }, {\r\n"
                             "        \"enabled\": false,\r\n        \"name\": \"Flash\"\r\n      } ]\r\n  }\r\n}\r\n");
}

TEST_F(ChromeCleanerTest, SwitchesAfterAScanReuseItsReadingOnlyWhileTheFileIsUnchanged) {
    for (const wchar_t* id : {L"aaa", L"bbb", L"ccc"}) scratch.MakeFolder(std::wstring(kProfile) + L"Extensions\\" + id);
    const auto settings = [](int a, int b, int c) {
        return R"({"extensions":{"settings":{"aaa":{"state":)" + std::to_string(a) + R"(,"path":"aaa","manifest":{"name":"A"}},)" +
               R"("bbb":{"state":)" + std::to_string(b) + R"(,"path":"bbb","manifest":{"name":"B"}},)" +
               R"("ccc":{"state":)" + std::to_string(c) + R"(,"path":"ccc","manifest":{"name":"C"}}}})";
    };
    // No uninstall entry here: the profile alone says Chrome is there.
    EXPECT_FALSE(cleaner->IsInstalled());
    WritePreferences(settings(1, 1, 1) + "}");
    EXPECT_TRUE(cleaner->IsInstalled());
    cleaner->ScanItems();
    ASSERT_EQ(cleaner->Items().size(), 3u);

    // Two switches in a row: the second starts from what the first wrote.
    ASSERT_TRUE(cleaner->RemoveItem(*cleaner->Items()[0]));
    ASSERT_TRUE(cleaner->RemoveItem(*cleaner->Items()[1]));
    EXPECT_EQ(Preferences(), settings(0, 0, 1) + "}");

    // The browser rewrote the file since: its version is the one changed, never the kept one.
    WritePreferences(settings(1, 0, 1) + R"(,"browser":{"seen":true}})");
    ASSERT_TRUE(cleaner->RemoveItem(*cleaner->Items()[2]));
    EXPECT_EQ(Preferences(), settings(1, 0, 0) + R"(,"browser":{"seen":true}})");
}

// Whatever a Preferences file holds, a scan lists only what it can read and a removal
// either writes a whole file or leaves the old one exactly as it was.
TEST_F(ChromeCleanerTest, UnreadableOrOddlyShapedPreferencesNeverCrashOrLoseTheFile) {
    scratch.MakeFolder(std::wstring(kProfile) + L"Extensions\\e");
    const struct {
        const char* text;
        bool extensionWrites, pluginWrites;
    } cases[] = {
        {R"({"extensions":{"settings":{"e":{"state":1,"manifest":{"name":"E"}})", false, false},  // truncated
        {R"([1,2,3])", false, false},
        {"", false, false},
        {"\xFF\xFE{", false, false},
        {R"({"extensions":5,"plugins":"x"})", true, false},
        {R"({"extensions":{"settings":[]},"plugins":{"plugins_list":{}}})", true, false},
        {R"({"extensions":{"settings":{"e":"text","f":{"manifest":[]},"e2":{"manifest":{"name":5,"plugins":"p"},"state":"1","path":7}}},
             "plugins":{"plugins_list":[3,null,{"path":5,"name":{},"enabled":"TRUE"},{"path":"internal-remoting-viewer","version":[],"name":"V"}]}})",
         true, true},
        {R"({"extensions":{"settings":{"e":{"state":1.0,"path":"e","manifest":{"name":"E","plugins":[5,{"path":null}]}}}}})", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        WritePreferences(c.text);
        cleaner->ClearItems(false);
        cleaner->ScanItems();
        EXPECT_LE(cleaner->Items().size(), 2u);

        TPluginItem extension = Item(AddonKind::Extension, L"e", L"E", L"x", L"");
        TPluginItem plugin = Item(AddonKind::Plugin, L"V", L"V", L"internal-remoting-viewer", L"");
        EXPECT_EQ(cleaner->RemoveItem(extension), c.extensionWrites);
        if (!c.extensionWrites) {
            EXPECT_EQ(Preferences(), c.text);
        }
        WritePreferences(c.text);
        EXPECT_EQ(cleaner->RemoveItem(plugin), c.pluginWrites);
        if (c.pluginWrites) {
            EXPECT_TRUE(ParseJsonKeepingNumbers(Preferences().substr(3)));
        } else {
            EXPECT_EQ(Preferences(), c.text);
        }
    }
}

TEST_F(ChromeCleanerTest, ALockedFileIsTriedThreeTimesAndKeptWhole) {
    const std::string text = R"({"extensions":{"settings":{"e":{"state":1,"manifest":{}}}}})";
    WritePreferences(text);
    TPluginItem extension = Item(AddonKind::Extension, L"e", L"E", L"x", L"");
    TPluginItem plugin = Item(AddonKind::Plugin, L"P", L"P", L"C:\\p.dll", L"1");
    {
        const auto lock = platform::CreateFileOf(cleaner->PreferencesPath(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        ASSERT_TRUE(lock);
        EXPECT_FALSE(cleaner->RemoveItem(extension));
        EXPECT_FALSE(cleaner->RemoveItem(plugin));
    }
    EXPECT_EQ(waits, (std::vector<DWORD>{500, 500, 500, 500}));
    EXPECT_EQ(Preferences(), text);
    EXPECT_FALSE(platform::FileExists(cleaner->PreferencesPath() + L".tarvo-new"));
}

}  // namespace
}  // namespace tarvo::addons
