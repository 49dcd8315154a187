// Opera's add-ons in both personalities, read from and switched in profiles the tests write.
#include "addons/opera_browser_cleaner.h"

#include <gtest/gtest.h>

#include <functional>

#include "addons/opera_prefs_file.h"
#include "addons/opera_widget_files.h"
#include "addons_fixture_path.h"
#include "addons_sqlite.h"
#include "platform/files.h"
#include "platform/text.h"
#include "support/folder_link.h"
#include "support/scratch_folder.h"
#include "support/scratch_registry.h"

namespace tarvo::addons {
namespace {

const wchar_t kWidgets[] = L"Opera\\Opera\\widgets\\";
const wchar_t kPresto[] = L"Roaming\\Opera\\Opera\\";
const wchar_t kKnownId[] = L"wuid-4C796ACB-345F-4F29-B180-67F3459A4270";

std::string Prefs(const std::string& sections) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<preferences>" + sections + "</preferences>\n";
}

class OperaCleanerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::LoadTestSqlite(sqlite));
        env.sqlite = &sqlite;
        env.appDataFolder = scratch.PathOf(L"Roaming");
        env.localAppDataFolder = scratch.path();
    }
    TOperaBrowserCleaner& Make(std::int32_t version) {
        cleaner = std::make_unique<TOperaBrowserCleaner>(env, version);
        cleaner->retries.sleep = [](DWORD) {};
        return *cleaner;
    }
    std::string Bytes(const std::wstring& path) const { return platform::ReadFileBytes(path).value_or("<none>"); }
    // "kind caption|first path" of every item, in the order found.
    std::vector<std::wstring> Listing() const {
        std::vector<std::wstring> lines;
        for (const auto& item : cleaner->Items())
            lines.push_back(std::to_wstring(static_cast<int>(item->Collection.AddonKind)) + L" " + item->Caption + L"|" +
                            item->Paths.front());
        return lines;
    }
    TPluginItem Item(AddonKind kind, const std::wstring& itemId, const std::wstring& path, bool present) const {
        TPluginItem item;
        item.Collection.AddonKind = kind;
        item.ItemId = itemId;
        item.Paths = {path};
        item.Present = present;
        return item;
    }

    platform::SqliteLibrary sqlite;
    test::ScratchFolder scratch;
    CleanerEnvironment env;
    std::unique_ptr<TOperaBrowserCleaner> cleaner;
};

TEST_F(OperaCleanerTest, FoldersFollowTheVersion) {
    const std::wstring roaming = scratch.PathOf(L"Roaming");
    EXPECT_EQ(Make(-1).ProfileFolder(), roaming + L"\\Opera\\Opera\\");
    EXPECT_EQ(Make(12).LocalProfileFolder(), scratch.path() + L"\\Opera\\Opera\\");
    EXPECT_EQ(Make(15).ProfileFolder(), roaming + L"\\Opera\\Opera Stable\\");
    EXPECT_EQ(Make(16).ProfileFolder(), roaming + L"\\Opera\\Opera Next\\");
    scratch.MakeFolder(L"Roaming\\Opera Software\\Opera Stable");
    EXPECT_EQ(Make(15).ProfileFolder(), roaming + L"\\Opera Software\\Opera Stable\\");
    EXPECT_EQ(Make(15).LocalProfileFolder(), scratch.path() + L"\\Opera Software\\Opera Stable\\");

    for (const auto& [icon, folder] : std::vector<std::pair<std::wstring, std::wstring>>{
             {L"\"C:\\Program Files\\Opera\\Opera.exe\",0", L"C:\\Program Files\\Opera\\"},
             {L"C:\\Opera\\launcher.exe,1", L"C:\\Opera\\"},
             {L"\"C:\\Opera\\unclosed.exe", L"C:\\Opera\\"},
             {L"opera.exe", L""},
             {L"", L""}})
        EXPECT_EQ(TOperaBrowserCleaner::ProgramFolderFromIcon(icon), folder) << icon;

    test::ScratchKey uninstall(HKEY_LOCAL_MACHINE, L"Software", platform::RegistryView::Default);
    Make(12).uninstallKeyPath = uninstall.path();
    EXPECT_FALSE(cleaner->IsInstalled());
    uninstall.SetString(L"Adobe Reader", L"DisplayIcon", L"\"C:\\Adobe\\r.exe\"");
    uninstall.SetString(L"Opera 12.16", L"DisplayIcon", L"\"C:\\Program Files\\Opera\\Opera.exe\",0");
    EXPECT_TRUE(cleaner->IsInstalled());
    EXPECT_EQ(cleaner->ProgramFolder(), L"C:\\Program Files\\Opera\\");

    // A per-user installation's entry is under the user's root; an unpacked copy has only its
    // profile to be known by.
    test::ScratchKey userUninstall(HKEY_CURRENT_USER, L"Software", platform::RegistryView::Default);
    Make(15).uninstallKeyPath = userUninstall.path();
    EXPECT_FALSE(cleaner->IsInstalled());
    scratch.MakeFile(L"Roaming\\Opera Software\\Opera Stable\\Preferences", "{}");
    EXPECT_TRUE(cleaner->IsInstalled());
    userUninstall.SetString(L"Opera Stable 100.0", L"DisplayIcon", L"\"C:\\Users\\u\\Opera\\launcher.exe\",0");
    EXPECT_TRUE(cleaner->IsInstalled());
    EXPECT_EQ(cleaner->ProgramFolder(), L"C:\\Users\\u\\Opera\\");
}

TEST_F(OperaCleanerTest, PrestoListsEnabledWidgetsAndPluginsAndNothingOutsideTheProfile) {
    const std::wstring widgets = scratch.PathOf(kWidgets);
    scratch.MakeFile(std::wstring(kWidgets) + L"widgets.dat",
                     Prefs(R"(<section id="wuid-good"><value id="path to widget data">C:\data</value></section>
                              <SECTION ID="wuid-capital"/><section id="wuid-4C796ACB-345F-4F29-B180-67F3459A4270"/>
                              <section id="..\..\..\Roaming\Opera\Opera"/><section id="wuid-missing"/>
                              <section id="wuid-broken"/><section id="wuid-linked"/><section/>)"));
    const auto widget = [&](const std::wstring& folder, const std::string& name, const std::string& gadget) {
        scratch.MakeFile(folder + L"\\prefs.dat",
                         Prefs(R"(<section id="ui"><value id="name">)" + name + R"(</value></section>)"
                               R"(<Section Id="user"><VALUE ID="gadgetenabledonstartup">)" + gadget + "</VALUE></Section>"));
    };
    widget(std::wstring(kWidgets) + L"wuid-good", "Good &amp; Fast", "yes");
    widget(std::wstring(kWidgets) + L"wuid-capital", "Capital", "Yes");
    widget(std::wstring(kWidgets) + kKnownId, "", "yes");
    widget(L"Roaming\\Opera\\Opera", "Escaped", "yes");  // what "..\" would reach
    widget(L"Elsewhere", "Linked", "yes");
    scratch.MakeFile(std::wstring(kWidgets) + L"wuid-broken\\prefs.dat", "<preferences><section id=\"ui\">");
    ASSERT_TRUE(test::MakeFolderLink(widgets + L"wuid-linked", scratch.PathOf(L"Elsewhere")));

    // A plug-in the user switched off in Opera, named with blanks around it and in other case.
    const std::wstring plugins = scratch.PathOf(L"Opera App\\program\\plugins\\");
    scratch.MakeFolder(L"Opera App\\program\\plugins\\folder.dll");
    scratch.MakeFile(L"Opera App\\program\\plugins\\readme.txt", "x");
    for (const wchar_t* name : {L"np on.dll", L"np off.dll"})
        ASSERT_TRUE(platform::CopyFileOf(test::AddonFixture(L"VersionFixture.dll"), plugins + name));
    scratch.MakeFile(std::wstring(kPresto) + L"operaprefs.ini",
                     "[User Prefs]\r\nDisabled Plugins= " + platform::Utf8FromWide(platform::UpperCase(plugins)) +
                         "NP OFF.DLL ;\r\n");

    Make(12).SetProgramFolder(scratch.PathOf(L"Opera App\\"));
    cleaner->ScanItems();
    test::RemoveFolderLink(widgets + L"wuid-linked");

    EXPECT_EQ(Listing(), (std::vector<std::wstring>{L"1 Good  Fast|" + widgets + L"wuid-good\\",
                                                    L"1 Veldane Surfing Protection|" + widgets + kKnownId + L"\\",
                                                    L"2 Tarvo Fixture|" + plugins + L"np on.dll"}));
    ASSERT_EQ(cleaner->Items().size(), 3u);
    EXPECT_EQ(cleaner->Items()[1]->Publisher, L"Tarvo");
    EXPECT_EQ(cleaner->Items()[2]->Paths.size(), 1u);
    for (const auto& item : cleaner->Items()) EXPECT_EQ(item->Browser, BrowserKind::Opera);
}

TEST_F(OperaCleanerTest, UnreadableWidgetListsListNoWidget) {
    for (const std::string& list : {std::string("<preferences><section id=\"a\">"), std::string(),
                                    std::string("\xFF\xFE<\0p\0", 6), std::string("<a></b>")}) {
        scratch.MakeFile(std::wstring(kWidgets) + L"widgets.dat", list);
        scratch.MakeFile(std::wstring(kWidgets) + L"a\\prefs.dat", Prefs(R"(<section id="ui"><value id="name">A</value></section>)"));
        Make(12).ScanItems();
        EXPECT_TRUE(cleaner->Items().empty());
    }
}

TEST_F(OperaCleanerTest, SwitchingAWidgetChangesOnlyItsValue) {
    const std::string head = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- kept -->\n<preferences>\n"
                             " <section id=\"ui\">\n  <value id=\"name\" xml:space=\"preserve\">Caf\xC3\xA9 &amp; Bar</value>\n"
                             " </section>\n <section id=\"user\">\n  <value id=\"other\">1</value>\n  ";
    const std::string gadget = "<value id=\"GadgetEnabledOnStartup\" xml:space=\"preserve\">yes</value>";
    const std::string tail = "\n </section>\n</preferences>\n";
    const std::wstring prefs = scratch.MakeFile(std::wstring(kWidgets) + L"w\\prefs.dat", head + gadget + tail);
    Make(12);
    TPluginItem item = Item(AddonKind::Extension, L"w", scratch.PathOf(kWidgets) + L"w\\", true);

    ASSERT_TRUE(cleaner->RemoveItem(item));
    EXPECT_EQ(Bytes(prefs), head + tail);

    item.Present = false;
    ASSERT_TRUE(cleaner->RestoreItem(item));
    const std::string restored = Bytes(prefs);
    EXPECT_EQ(restored, head + "\n " + gadget + "</section>\n</preferences>\n");
    EXPECT_TRUE(ReadWidgetPrefs(restored).value_or(WidgetPrefs{}).enabled);

    // A file that does not parse is left exactly as it was.
    const std::string broken = head + gadget;
    scratch.MakeFile(std::wstring(kWidgets) + L"w\\prefs.dat", broken);
    item.Present = true;
    EXPECT_FALSE(cleaner->RemoveItem(item));
    EXPECT_EQ(Bytes(prefs), broken);
}

// operaprefs.ini in each encoding Opera and its users leave it in: switching a plug-in
// rewrites only its list, in the file's own encoding.
TEST_F(OperaCleanerTest, SwitchingAPrestoPluginKeepsTheSettingsFileEncoding) {
    const std::wstring plugin = L"C:\\Program Files\\Opera\\program\\plugins\\np a.dll";
    const std::wstring text = L"Opera Preferences version 2.1\r\n\r\n[User Prefs]\r\nHome URL=http://caf\u00e9.example/\r\n"
                              L"Disabled Plugins=\r\n\r\n[Other]\r\nDisabled Plugins=x\r\n";
    const auto utf16 = [](const std::wstring& t) {
        return std::string("\xFF\xFE") + std::string(reinterpret_cast<const char*>(t.data()), t.size() * 2);
    };
    const std::vector<std::function<std::string(const std::wstring&)>> encodings = {
        [](const std::wstring& t) { return "\xEF\xBB\xBF" + platform::Utf8FromWide(t); },
        [](const std::wstring& t) { return platform::Utf8FromWide(t); },
        utf16,
        [](const std::wstring& t) { return platform::WideToMultiByte(t, CP_ACP); },
    };
    for (std::size_t i = 0; i < encodings.size(); ++i) {
        const auto& encode = encodings[i];
        const std::wstring settings = scratch.MakeFile(std::wstring(kPresto) + L"operaprefs.ini", encode(text));
        Make(12);
        TPluginItem item = Item(AddonKind::Plugin, L"a", plugin, true);

        ASSERT_TRUE(cleaner->RemoveItem(item)) << i;
        std::wstring expected = text;
        expected.insert(expected.find(L"Disabled Plugins=") + 17, plugin + L";");
        EXPECT_EQ(Bytes(settings), encode(expected)) << i;
        EXPECT_EQ(ReadDisabledPlugins(Bytes(settings)), std::vector<std::wstring>{plugin}) << i;

        item.Present = false;
        ASSERT_TRUE(cleaner->RestoreItem(item)) << i;
        EXPECT_EQ(Bytes(settings), encode(text)) << i;
    }

    // A path the ANSI file cannot hold is refused rather than written as another path.
    const std::string ansi = encodings.back()(text);
    const std::wstring settings = scratch.MakeFile(std::wstring(kPresto) + L"operaprefs.ini", ansi);
    TPluginItem foreign = Item(AddonKind::Plugin, L"b", L"C:\\\u4e2d\\np.dll", true);
    EXPECT_FALSE(Make(12).RemoveItem(foreign));
    EXPECT_EQ(Bytes(settings), ansi);

    // Without the key or its section, both are added after what is there.
    scratch.MakeFile(std::wstring(kPresto) + L"operaprefs.ini", "[Other]\nk=v");
    ASSERT_TRUE(cleaner->RemoveItem(foreign));
    EXPECT_EQ(Bytes(settings), "[Other]\nk=v\n[User Prefs]\nDisabled Plugins=C:\\\xE4\xB8\xAD\\np.dll;\n");
}

TEST_F(OperaCleanerTest, ChromiumOperaRunsChromesPassesOnItsOwnProfile) {
    const std::wstring profile = L"Roaming\\Opera\\Opera Next\\";
    scratch.MakeFolder(profile + L"Extensions\\opx");
    scratch.MakeFile(profile + L"Preferences",
                     R"({"extensions":{"settings":{"opx":{"state":1,"path":"opx\\1_0","manifest":{"name":"Opera Ext"}}}}})");
    // Chrome's own plug-in folder is Chrome's: Opera does not list it.
    scratch.MakeFolder(L"Google\\Chrome\\Application\\plugins");
    ASSERT_TRUE(platform::CopyFileOf(test::AddonFixture(L"VersionFixture.dll"),
                                     scratch.PathOf(L"Google\\Chrome\\Application\\plugins\\own.dll")));

    Make(16).ScanItems();
    ASSERT_EQ(Listing(), std::vector<std::wstring>{L"1 Opera Ext|" + scratch.PathOf(profile) + L"Extensions\\opx\\1_0\\"});
    EXPECT_EQ(cleaner->Items()[0]->Browser, BrowserKind::Opera);

    TPluginItem item = Item(AddonKind::Extension, L"opx", L"", true);
    ASSERT_TRUE(cleaner->RemoveItem(item));
    EXPECT_NE(Bytes(cleaner->PreferencesPath()).find(R"("state":0)"), std::string::npos);
    item.Present = false;
    ASSERT_TRUE(cleaner->RestoreItem(item));
    EXPECT_NE(Bytes(cleaner->PreferencesPath()).find(R"("state":1)"), std::string::npos);
}

}  // namespace
}  // namespace tarvo::addons
