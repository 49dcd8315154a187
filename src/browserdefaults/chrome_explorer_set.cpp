#include "browserdefaults/chrome_explorer_set.h"

#include "addons/chrome_preferences.h"
#include "browserdefaults/chromium_startup.h"
#include "common/paths.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/sqlite_database.h"
#include "platform/text.h"

namespace tarvo::browserdefaults {

namespace {
const char kDefaultProviderKey[] = "Default Search Provider ID";

const wchar_t kQueryUrl[] =
    L"{google:baseURL}search?q={searchTerms}&{google:RLZ}{google:originalQueryForSuggestion}"
    L"{google:assistedQueryStats}{google:searchFieldtrialParameter}{google:searchClient}{google:sourceId}"
    L"{google:instantExtendedEnabledParameter}ie={inputEncoding}";
const wchar_t kSuggestUrl[] =
    L"{google:baseSuggestURL}search?{google:searchFieldtrialParameter}client=chrome&q={searchTerms}&"
    L"{google:cursorPosition}{google:zeroPrefixUrl}sugkey={google:suggestAPIKeyParameter}";
const wchar_t kInstantUrl[] =
    L"{google:baseURL}webhp?sourceid=chrome-instant&{google:RLZ}{google:instantEnabledParameter}"
    L"{google:instantExtendedEnabledParameter}{google:ntpIsThemedParameter}{google:omniboxStartMarginParameter}"
    L"ie={inputEncoding}";
const wchar_t kAlternateUrls[] =
    L"[\"{google:baseURL}#q={searchTerms}\",\"{google:baseURL}search#q={searchTerms}\","
    L"\"{google:baseURL}webhp#q={searchTerms}\"]";

void Debug(const std::wstring& text) { ::OutputDebugStringW(text.c_str()); }

// The id Chrome stores as text; 1, as Chrome itself reads it, when it is not a number.
std::int64_t ProviderId(const std::wstring& text) {
    try {
        std::size_t used = 0;
        const long long id = std::stoll(text, &used);
        return used == text.size() ? id : 1;
    } catch (...) {
        return 1;
    }
}
}  // namespace

std::wstring TChromeExplorerSet::ProfileFolder() const {
    const std::wstring base = common::ParentFolder(common::WithoutTrailingBackslashes(env_.appDataFolder));
    const wchar_t* below =
        env_.windowsVersionCode >= 60 ? L"\\Local\\Google\\Chrome" : L"\\Local Settings\\Application Data\\Google\\Chrome";
    return common::WithoutTrailingBackslashes(base) + below + L"\\User Data\\Default\\";
}

std::wstring TChromeExplorerSet::WebDataPath() const {
    return common::WithTrailingBackslash(env_.localAppDataFolder) + L"Google\\Chrome\\User Data\\Default\\Web Data";
}

std::wstring ReadChromiumHomepage(const TCustomExplorerSet& set, const std::wstring& preferences) {
    if (!platform::FileExists(preferences)) return {};
    const auto document = ParsePreferencesBytes(ReadWithRetries(set.Environment(), preferences));
    return document ? ChromiumHomepage(*document, set.Environment().stock.hijacker) : std::wstring();
}

bool ResetChromiumPreferences(const TCustomExplorerSet& set, const std::wstring& preferences) {
    auto document = ParsePreferencesBytes(ReadWithRetries(set.Environment(), preferences));
    if (!document) return false;  // unreadable or not Chrome's JSON: never written over
    ResetChromiumStartup(*document);
    return addons::ReplaceFileWithRetries(preferences, addons::IndentedPreferences(*document),
                                          set.Environment().retries);
}

std::wstring TChromeExplorerSet::GetHomepage() { return ReadChromiumHomepage(*this, PreferencesPath()); }

bool TChromeExplorerSet::SetHomepage() {
    const std::wstring preferences = PreferencesPath();
    if (!platform::FolderExists(ProfileFolder()) || !platform::FileExists(preferences)) return false;
    if (!env_.dataFolder.empty() && platform::FolderExists(env_.dataFolder))
        (void)platform::CopyFileOf(preferences, env_.dataFolder + L"Preferences.bak");
    return ResetChromiumPreferences(*this, preferences);
}

std::wstring TChromeExplorerSet::GetSearchEngine() {
    const std::wstring path = WebDataPath();
    if (!env_.sqlite || !platform::FileExists(path)) return L"Unknown";
    platform::SqliteDatabase db;
    if (db.Open(*env_.sqlite, path, false) != platform::SqliteLibrary::kOk) {
        Debug(L"Chrome Web Data: cannot open " + path);
        return L"Unknown";
    }
    auto meta = db.Prepare("SELECT value FROM meta WHERE key=?");
    if (!meta.IsValid() || meta.BindText(1, platform::WideFromUtf8(kDefaultProviderKey)) != 0 ||
        meta.Step() != platform::SqliteLibrary::kRow) {
        if (!meta.IsValid()) Debug(L"Chrome Web Data: " + db.LastError());
        return L"Unknown";
    }
    const std::int64_t id = ProviderId(meta.ColumnText(0));
    auto keyword = db.Prepare("SELECT short_name FROM keywords WHERE id=?");
    if (!keyword.IsValid() || keyword.BindInt(1, id) != 0 || keyword.Step() != platform::SqliteLibrary::kRow) {
        if (!keyword.IsValid()) Debug(L"Chrome Web Data: " + db.LastError());
        return L"Unknown";
    }
    return keyword.ColumnText(0);
}

bool TChromeExplorerSet::RestSearchToDefault() {
    const std::wstring path = WebDataPath();
    if (!platform::FileExists(path)) return true;
    if (!env_.sqlite) return false;
    platform::SqliteDatabase db;
    if (db.Open(*env_.sqlite, path, false) != platform::SqliteLibrary::kOk) {
        Debug(L"Chrome Web Data: cannot open " + path);
        return false;
    }
    const auto fail = [&db] {
        Debug(L"Chrome Web Data: " + db.LastError());
        return false;
    };
    platform::SqliteTransaction transaction(db);
    if (!transaction.Began()) return fail();

    const std::wstring icon = env_.stock.google + L"/favicon.ico";
    std::int64_t id = 0;
    {
        auto find = db.Prepare("SELECT id FROM keywords WHERE short_name='Google' AND keyword=? AND favicon_url=?");
        if (!find.IsValid() || find.BindText(1, env_.stock.googleKeyword) != 0 || find.BindText(2, icon) != 0)
            return fail();
        const int step = find.Step();
        if (step == platform::SqliteLibrary::kRow) id = find.ColumnInt(0);
        else if (step != platform::SqliteLibrary::kDone) return fail();
    }
    if (id == 0) {
        auto last = db.Prepare("SELECT MAX(id) FROM keywords");
        if (!last.IsValid()) return fail();
        const int step = last.Step();
        if (step != platform::SqliteLibrary::kRow && step != platform::SqliteLibrary::kDone) return fail();
        id = (step == platform::SqliteLibrary::kRow ? last.ColumnInt(0) : 0) + 1;
        auto insert = db.Prepare(
            "INSERT INTO keywords(id,short_name,keyword,favicon_url,url,safe_for_autoreplace,input_encodings,"
            "show_in_default_list,suggest_url,instant_url,sync_guid,alternate_urls,search_terms_replacement_key) "
            "VALUES(?,'Google',?,?,?,1,'UTF-8',1,?,?,?,?,'espv')");
        if (!insert.IsValid() || insert.BindInt(1, id) != 0 || insert.BindText(2, env_.stock.googleKeyword) != 0 ||
            insert.BindText(3, icon) != 0 || insert.BindText(4, kQueryUrl) != 0 || insert.BindText(5, kSuggestUrl) != 0 ||
            insert.BindText(6, kInstantUrl) != 0 || insert.BindText(7, platform::NewGuidText(false)) != 0 ||
            insert.BindText(8, kAlternateUrls) != 0 || insert.Step() != platform::SqliteLibrary::kDone)
            return fail();
    }
    if (db.Execute("DELETE FROM meta WHERE key='Default Search Provider ID'") != platform::SqliteLibrary::kOk)
        return fail();
    auto meta = db.Prepare("INSERT INTO meta VALUES('Default Search Provider ID',?)");
    if (!meta.IsValid() || meta.BindInt(1, id) != 0 || meta.Step() != platform::SqliteLibrary::kDone) return fail();
    if (transaction.Commit() != platform::SqliteLibrary::kOk) return fail();
    return true;
}

}  // namespace tarvo::browserdefaults
