// Firefox's add-ons read from and switched off in a profile the tests write.
#include "addons/ff_browser_cleaner.h"

#include <gtest/gtest.h>

#include "addons/firefox_profile_files.h"
#include "addons_sqlite.h"
#include "platform/files.h"
#include "platform/sqlite_database.h"
#include "support/folder_link.h"
#include "support/scratch_folder.h"

namespace tarvo::addons {
namespace {

// A plug-in registry as Firefox writes it: a header, then plug-ins with their MIME types.
const char kPluginReg[] =
    "[HEADER]\r\nVersion:0.15t:$\r\n\r\n[PLUGINS]\r\n"
    "npone.dll|$\r\nC:\\p\\npone.dll|$\r\n1.0|$\r\n1300000000000|0|1|$\r\nFirst plug-in|$\r\nOne|$\r\n"
    "2\r\n0|application/x-one|One|one|$\r\n1|application/x-uno|Uno|uno|$\r\n"
    "nptwo.dll|$\r\nC:\\p\\nptwo.dll|$\r\n2.0|$\r\n1300000000000|0|4|$\r\nSecond plug-in|$\r\nTwo|$\r\n"
    "1\r\n0|application/x-two|Two|two|$\r\n"
    "npthree.dll|$\r\nC:\\p\\npthree.dll|$\r\n3.0|$\r\n1300000000000|0|5|$\r\nThird plug-in|$\r\n"
    "0\r\n\r\n[INVALID]\r\n";

TEST(FirefoxProfileFilesTest, PluginRecordsAndStateFields) {
    std::vector<std::wstring> lines;
    for (const ByteLine& line : SplitByteLines(kPluginReg)) lines.push_back(std::wstring(line.text.begin(), line.text.end()));
    const auto records = ReadPluginRecords(lines);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].front(), L"0");
    EXPECT_EQ(records[1].front(), L"2");
    EXPECT_EQ(records[1][3], L"nptwo.dll|$");  // the second plug-in's fields from element 3 on
    EXPECT_EQ(records[2].size(), 7u);           // the third lacks its name line

    EXPECT_EQ(StateField(L"13|0|1|$"), L"1");
    EXPECT_EQ(StateField(L"13|0"), L"13|0");
    EXPECT_EQ(SetStateField("13|0|1|x|$", false), "13|0|4|x|$");
    EXPECT_EQ(SetStateField("13|0", true), "13|0");

    const std::string off = SetPluginStateIn(kPluginReg, L"NPONE.DLL", L"c:\\p\\npone.dll", false);
    std::string expected = kPluginReg;
    expected.replace(expected.find("1300000000000|0|1|$"), 19, "1300000000000|0|4|$");
    EXPECT_EQ(off, expected);
    EXPECT_EQ(SetPluginStateIn(kPluginReg, L"npone.dll", L"C:\\elsewhere.dll", false), kPluginReg);
}

TEST(FirefoxProfileFilesTest, ExtensionDirsEdits) {
    const std::string ini = "[ExtensionDirs]\nExtension0=C:\\x\nExtension1=C:\\y\nExtension2=c:\\X\n\n[ThemeDirs]\nExtension0=C:\\t\n";
    const struct {
        const char* bytes;
        const wchar_t* folder;
        bool enable;
        std::optional<std::string> expected;
    } cases[] = {
        {ini.c_str(), L"C:\\x", false, "[ExtensionDirs]\nExtension1=C:\\y\n\n[ThemeDirs]\nExtension0=C:\\t\n"},
        {ini.c_str(), L"C:\\t", false, std::nullopt},
        {ini.c_str(), L"C:\\x", true, std::nullopt},
        {ini.c_str(), L"C:\\z", true,
         "[ExtensionDirs]\nExtension0=C:\\x\nExtension1=C:\\y\nExtension2=c:\\X\nExtension3=C:\\z\n\n[ThemeDirs]\nExtension0=C:\\t\n"},
        // After a removal the numbers have a gap: the new key must not overwrite Extension2.
        {"[ExtensionDirs]\r\nExtension0=A\r\nExtension2=B", L"C", true,
         "[ExtensionDirs]\r\nExtension0=A\r\nExtension2=B\r\nExtension3=C\r\n"},
        {"", L"C", true, "[ExtensionDirs]\r\nExtension0=C\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(EditExtensionDirs(c.bytes, c.folder, c.enable), c.expected);
    }
}

class FirefoxCleanerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::LoadTestSqlite(sqlite));
        env.sqlite = &sqlite;
        env.appDataFolder = scratch.PathOf(L"Roaming");
        env.localAppDataFolder = scratch.PathOf(L"Local");
        profile = scratch.MakeFolder(L"Roaming\\Mozilla\\Firefox\\Profiles\\abc.default") + L"\\";
        scratch.MakeFile(L"Roaming\\Mozilla\\Firefox\\profiles.ini",
                         "[General]\r\nStartWithLastProfile=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\n"
                         "Path=Profiles/abc.default\r\n");
    }
    void MakeDatabase(bool withLocale) {
        platform::SqliteDatabase db;
        ASSERT_EQ(db.Open(sqlite, profile + L"extensions.sqlite", true), platform::SqliteLibrary::kOk);
        ASSERT_EQ(db.Execute("CREATE TABLE addon (internal_id INTEGER PRIMARY KEY, id TEXT, type TEXT, version TEXT, "
                             "active INTEGER, userDisabled INTEGER, descriptor TEXT, defaultLocale INTEGER)"),
                  platform::SqliteLibrary::kOk);
        ASSERT_EQ(db.Execute("INSERT INTO addon VALUES (1,'on@x','extension','1.0',1,0,'C:\\ext\\on',1),"
                             "(2,'off@x','extension','2.0',1,1,'C:\\ext\\off',2),"
                             "(3,'theme@x','theme','3.0',1,0,'C:\\ext\\theme',3)"),
                  platform::SqliteLibrary::kOk);
        if (!withLocale) return;
        ASSERT_EQ(db.Execute("CREATE TABLE locale (id INTEGER PRIMARY KEY, name TEXT, description TEXT, creator TEXT)"),
                  platform::SqliteLibrary::kOk);
        ASSERT_EQ(db.Execute("INSERT INTO locale VALUES (1,'On ''Ext''','Adds','Maker'),(2,'Off','x','y'),(3,'Theme','t','z')"),
                  platform::SqliteLibrary::kOk);
    }
    std::vector<std::wstring> Listing(const TFFBrowserCleaner& cleaner) const {
        std::vector<std::wstring> lines;
        for (const auto& item : cleaner.Items())
            lines.push_back(item->ItemId + L"|" + item->Caption + L"|" + item->Description + L"|" + item->Publisher + L"|" +
                            item->Version + L"|" + item->Paths.front());
        return lines;
    }
    std::int64_t Column(const char* sql) {
        platform::SqliteDatabase db;
        EXPECT_EQ(db.Open(sqlite, profile + L"extensions.sqlite", false), platform::SqliteLibrary::kOk);
        auto query = db.Prepare(sql);
        return query.Step() == platform::SqliteLibrary::kRow ? query.ColumnInt(0) : -1;
    }

    platform::SqliteLibrary sqlite;
    test::ScratchFolder scratch;
    CleanerEnvironment env;
    std::wstring profile;
};

TEST_F(FirefoxCleanerTest, ListsActiveExtensionsAndPluginsAndSwitchesThemOff) {
    MakeDatabase(true);
    scratch.MakeFile(L"Roaming\\Mozilla\\Firefox\\Profiles\\abc.default\\pluginreg.dat", kPluginReg);
    const std::string ini = "[ExtensionDirs]\r\nExtension0=C:\\ext\\on\r\nExtension1=C:\\ext\\other\r\nExtension2=c:\\EXT\\on\r\n";
    scratch.MakeFile(L"Roaming\\Mozilla\\Firefox\\Profiles\\abc.default\\extensions.ini", ini);
    TFFBrowserCleaner cleaner(env);
    ASSERT_EQ(cleaner.ProfileFolder(), profile);

    cleaner.ScanItems();
    ASSERT_EQ(Listing(cleaner), (std::vector<std::wstring>{L"on@x|On 'Ext'|Adds|Maker|1.0|C:\\ext\\on",
                                                           L"npone.dll|One|First plug-in||1.0|C:\\p\\npone.dll",
                                                           L"npthree.dll|Third plug-in|Third plug-in||3.0|C:\\p\\npthree.dll"}));

    ASSERT_TRUE(cleaner.RemoveItem(*cleaner.Items()[0]));
    EXPECT_EQ(Column("SELECT active*10+userDisabled FROM addon WHERE id='on@x'"), 1);
    EXPECT_EQ(platform::ReadFileBytes(profile + L"extensions.ini"), "[ExtensionDirs]\r\nExtension1=C:\\ext\\other\r\n");
    ASSERT_TRUE(cleaner.RemoveItem(*cleaner.Items()[1]));
    EXPECT_NE(platform::ReadFileBytes(profile + L"pluginreg.dat")->find("npone.dll|$\r\nC:\\p\\npone.dll|$\r\n1.0|$\r\n1300000000000|0|4|$"),
              std::string::npos);

    cleaner.ClearItems(false);
    cleaner.ScanItems();
    EXPECT_EQ(cleaner.Items().size(), 1u);
}

// Damaged or unusual profiles: nothing crashes, no file is lost or cut short.
TEST_F(FirefoxCleanerTest, DamagedFilesAndALinkedProfileAreHandled) {
    MakeDatabase(false);  // no locale table: the query fails
    const std::string damaged = "[PLUGINS]\r\nnpx.dll|$\r\nC:\\p\\npx.dll|$\r\n99\r\n\r\n";  // lines missing
    scratch.MakeFile(L"Roaming\\Mozilla\\Firefox\\Profiles\\abc.default\\pluginreg.dat", damaged);
    {
        TFFBrowserCleaner cleaner(env);
        cleaner.ScanItems();
        EXPECT_TRUE(cleaner.Items().empty());
        TPluginItem plugin;
        plugin.Collection.AddonKind = AddonKind::Plugin;
        plugin.ItemId = L"npx.dll";
        plugin.Paths = {L"C:\\p\\npx.dll"};
        EXPECT_TRUE(cleaner.RemoveItem(plugin));
        EXPECT_EQ(platform::ReadFileBytes(profile + L"pluginreg.dat"), damaged);
    }

    // The profile reached through a link to a folder elsewhere.
    const std::wstring real = scratch.MakeFolder(L"Elsewhere\\real.default") + L"\\";
    scratch.MakeFile(L"Elsewhere\\real.default\\pluginreg.dat", kPluginReg);
    const std::wstring link = scratch.PathOf(L"Roaming\\Mozilla\\Firefox\\Profiles\\linked");
    ASSERT_TRUE(test::MakeFolderLink(link, real.substr(0, real.size() - 1)));
    scratch.MakeFile(L"Roaming\\Mozilla\\Firefox\\profiles.ini", "[Profile0]\r\nIsRelative=0\r\nPath=" +
                                                                     std::string(link.begin(), link.end()) + "\r\n");
    {
        TFFBrowserCleaner cleaner(env);
        cleaner.ScanItems();
        ASSERT_EQ(cleaner.Items().size(), 2u);
        EXPECT_TRUE(cleaner.RemoveItem(*cleaner.Items()[0]));
    }
    test::RemoveFolderLink(link);
    const auto after = platform::ReadFileBytes(real + L"pluginreg.dat");
    ASSERT_TRUE(after);
    EXPECT_EQ(after->size(), std::string(kPluginReg).size());
}

}  // namespace
}  // namespace tarvo::addons
