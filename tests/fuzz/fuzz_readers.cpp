// Every reader of a file that another program, a download or a damaged disk may have
// written, each driven the way the program drives it: parse, then walk what was parsed,
// and where the program rewrites the file, produce the rewrite too.
#include <windows.h>

#include "addons/browser_file.h"
#include "addons/chrome_preferences.h"
#include "addons/chromium_extensions.h"
#include "addons/chromium_family.h"
#include "addons/firefox_addon_database.h"
#include "addons/firefox_profile_files.h"
#include "addons/json_format.h"
#include "addons/opera_prefs_file.h"
#include "addons/opera_widget_files.h"
#include "archive/archive_error.h"
#include "archive/byte_sink.h"
#include "archive/zip_decompression.h"
#include "browserdefaults/chromium_startup.h"
#include "browserdefaults/firefox_explorer_set.h"
#include "fuzz_engine.h"
#include "inventory/shell_link_file.h"
#include "language/language.h"
#include "leftovers/backup_list.h"
#include "leftovers/removal_backup.h"
#include "leftovers/removal_journal.h"
#include "online/last_news_check.h"
#include "online/score_db_helper.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/ext_ini_file.h"
#include "settings/text_file.h"
#include "uninstall/scan_journal.h"

namespace tarvo::fuzz {

namespace {

void Write(const std::wstring& path, const std::string& bytes) { (void)platform::WriteFileBytes(path, bytes); }

void ChromePreferences(const std::string& bytes, const std::wstring& scratch) {
    auto document = browserdefaults::ParsePreferencesBytes(bytes);
    if (!document) return;
    (void)addons::ExtensionsIn(document->is_object() ? *document : addons::Json::object(), scratch + L"\\", true);
    if (const addons::Json* settings = addons::ExtensionSettingsOf(&*document))
        (void)addons::ExtensionsIn(*settings, scratch + L"\\", false);
    (void)browserdefaults::ChromiumHomepage(*document, L"http://hijack.invalid/");
    (void)addons::SetExtensionStateIn(*document, L"abcdefghijklmnopabcdefghijklmnop", false);
    browserdefaults::ResetChromiumStartup(*document);
    (void)addons::IndentedPreferences(*document);
    (void)addons::CompactJson(*document);
}

void LocalState(const std::string& bytes, const std::wstring&) {
    const auto document = addons::ParseJsonKeepingNumbers(addons::JsonTextFromBytes(bytes));
    (void)addons::ProfileNamesIn(document ? &*document : nullptr);
}

// A Firefox profile of its own below the scratch folder; the file under test is written
// into it and the restore's own reading runs over it.
void FirefoxProfileFile(const std::string& bytes, const std::wstring& scratch, const wchar_t* name) {
    const std::wstring firefox = scratch + L"\\Mozilla\\Firefox";
    if (!platform::FileExists(firefox + L"\\profiles.ini")) {
        (void)::CreateDirectoryW((scratch + L"\\Mozilla").c_str(), nullptr);
        (void)::CreateDirectoryW(firefox.c_str(), nullptr);
        (void)::CreateDirectoryW((firefox + L"\\p").c_str(), nullptr);
        Write(firefox + L"\\profiles.ini", "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=p\r\nDefault=1\r\n");
        Write(firefox + L"\\p\\prefs.js", "user_pref(\"browser.search.selectedEngine\", \"Bing\");\r\n");
    }
    Write(firefox + L"\\p\\" + name, bytes);
    browserdefaults::RestoreEnvironment environment;
    environment.appDataFolder = scratch;
    browserdefaults::TFireFoxExplorerSet set(environment);
    (void)set.GetHomepage();
    (void)set.GetSearchEngine();
}

void PrefsJs(const std::string& bytes, const std::wstring& scratch) {
    if (const auto lines = browserdefaults::Utf8Lines(bytes)) (void)browserdefaults::ReadSearchPreferences(*lines);
    (void)browserdefaults::HomepagePreference(settings::DecodeText(bytes));
    FirefoxProfileFile(bytes, scratch, L"prefs.js");
}

void ExtensionsJson(const std::string& bytes, const std::wstring&) {
    auto document = addons::ParseJsonKeepingNumbers(addons::JsonTextFromBytes(bytes));
    if (!document) return;
    (void)addons::ExtensionsInDatabase(*document);
    (void)addons::SetAddonEnabledIn(*document, L"{x}", false);
    (void)addons::IndentedPreferences(*document);
}

void WidgetsDat(const std::string& bytes, const std::wstring&) { (void)addons::ReadWidgetSections(bytes); }

void PrefsDat(const std::string& bytes, const std::wstring&) {
    (void)addons::ReadWidgetPrefs(bytes);
    (void)addons::SetGadgetEnabledIn(bytes, true);
    (void)addons::SetGadgetEnabledIn(bytes, false);
}

void PluginregDat(const std::string& bytes, const std::wstring& scratch) {
    (void)addons::SplitByteLines(bytes);
    (void)addons::ReadPluginRecords(settings::SplitLines(settings::DecodeText(bytes)));
    (void)addons::SetPluginStateIn(bytes, L"npfake.dll", scratch + L"\\npfake.dll", false);
    (void)addons::EditExtensionDirs(bytes, scratch, false);
}

void OperaprefsIni(const std::string& bytes, const std::wstring&) {
    const auto disabled = addons::ReadDisabledPlugins(bytes);
    std::vector<std::wstring> entries = disabled;
    entries.push_back(L"C:\\Program Files\\Plug\\np\u00E9.dll");
    (void)addons::WithDisabledPlugins(bytes, entries);
}

void Shortcut(const std::string& bytes, const std::wstring&) {
    (void)inventory::LinkTargetFromBytes(bytes, CP_ACP, [](const std::wstring&) { return false; });
    (void)inventory::LinkTargetFromBytes(bytes, 1252, [](const std::wstring&) { return true; });
}

void LanguagePack(const std::string& bytes, const std::wstring& scratch) {
    Write(scratch + L"\\Fuzz.lng", bytes);
    language::TLanguage language;
    language.SetFolder(scratch);
    (void)language.LoadLanguage(L"Fuzz");
    (void)language.GetText(L"Removal_Shared_M", L"x");
    (void)language.ReadText(L"TfrmTarvoUninstall", L"Caption", L"x");
    language.ListLanguages(scratch, true);
}

void IniFile(const std::string& bytes, const std::wstring&) {
    settings::TExtIniFile ini;
    ini.LoadFromText(settings::DecodeText(bytes));
    for (const auto& section : ini.ReadSections()) {
        (void)ini.ReadSectionValues(section);
        (void)ini.ReadInteger(section, L"a", 0);
        (void)ini.ReadFloat(section, L"a", 0.0);
    }
    ini.WriteString(L"New", L"k", L"v");
    (void)ini.SaveToText();
}

void ScoreDatabase(const std::string& bytes, const std::wstring& scratch) {
    const std::wstring path = scratch + L"\\ScoreBase.dbd";
    Write(path, bytes);
    archive::StringSink sink(32u << 20);
    try {
        archive::TZipDeCompression::ExtractFile(path, L"ScoreBase.dbd", sink, archive::kArchivePassPhrase);
    } catch (const archive::ArchiveError&) {
        sink.bytes() = bytes;  // the text reader on its own, then
    }
    (void)online::ScoreTextComplete(sink.bytes());
    online::TScoreDBHelper helper;
    helper.LoadText(sink.bytes());
    online::TScore score;
    helper.Lookup(L"Adblock Plus", score);
}

void News(const std::string& bytes, const std::wstring&) {
    (void)online::NewsFileComplete(bytes);
    (void)online::ParseNewsFile(bytes);
}

// Our own backups and journals: read, never restored (a fuzzed manifest names any path).
void BackupManifest(const std::string& bytes, const std::wstring& scratch) {
    Write(scratch + L"\\manifest.txt", bytes);
    for (const auto& line : leftovers::ReadManifest(scratch)) (void)leftovers::ManifestFields(line);
    (void)leftovers::ReadBackupRecord(scratch);
}

void RemovalPlan(const std::string& bytes, const std::wstring& scratch) {
    Write(scratch + L"\\plan.txt", bytes);
    Write(scratch + L"\\unfinished.txt", bytes);
    (void)leftovers::TreeOfRemainingPlan(scratch);
    (void)leftovers::IsUnfinishedRemoval(scratch);
}

void ScanJournal(const std::string& bytes, const std::wstring& scratch) {
    const std::wstring path = scratch + L"\\PendingScans.ini";
    Write(path, bytes);
    (void)uninstall::TScanJournal(path).Pending();
}

}  // namespace

std::vector<Reader> AllReaders() {
    return {
        {"chrome-preferences", ChromePreferences},  // Preferences and Secure Preferences
        {"local-state", LocalState},
        {"prefs-js", PrefsJs},
        {"search-json", [](const std::string& b, const std::wstring& s) { FirefoxProfileFile(b, s, L"search.json"); }},
        {"extensions-json", ExtensionsJson},
        {"widgets-dat", WidgetsDat},
        {"prefs-dat", PrefsDat},
        {"pluginreg-dat", PluginregDat},
        {"operaprefs-ini", OperaprefsIni},
        {"shortcut", Shortcut},
        {"language-pack", LanguagePack},
        {"ini", IniFile},
        {"score-database", ScoreDatabase},
        {"news", News},
        {"backup-manifest", BackupManifest},
        {"removal-plan", RemovalPlan},
        {"scan-journal", ScanJournal},
    };
}

}  // namespace tarvo::fuzz
