#include "browserdefaults/opera_explorer_set.h"

#include "addons/chrome_preferences.h"
#include "addons/folder_walk.h"
#include "addons/opera_version.h"
#include "browserdefaults/chrome_explorer_set.h"
#include "browserdefaults/chromium_startup.h"
#include "common/paths.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "settings/ext_ini_file.h"
#include "settings/safe_ini_file.h"
#include "settings/text_file.h"

namespace tarvo::browserdefaults {

namespace {

bool ContainsSearchEngine(const std::wstring& name) {
    return platform::UpperCase(name).find(L"SEARCH ENGINE") != std::wstring::npos;
}

// An INI file Opera wrote as UTF-8, in memory.
settings::TExtIniFile ReadUtf8Ini(const std::wstring& path) {
    settings::TExtIniFile ini;
    if (const auto bytes = platform::ReadFileBytes(path))
        ini.LoadFromText(platform::WideFromUtf8(addons::JsonTextFromBytes(*bytes)));
    return ini;
}

}  // namespace

bool EditProfileFile(const std::wstring& path, const std::function<bool(const std::wstring& copy)>& edit) {
    const std::wstring copy = path + L".tarvo-new";
    const bool started = platform::FileExists(path) ? platform::CopyFileOf(path, copy) : platform::WriteFileBytes(copy, {});
    if (started && edit(copy) && platform::MoveFileReplacing(copy, path)) return true;
    (void)platform::DeleteFileOf(copy);
    return false;
}

std::vector<SearchEngineSection> SearchEngineSections(const std::wstring& iniPath) {
    std::vector<SearchEngineSection> found;
    const auto text = settings::ReadTextFile(iniPath);
    if (!text) return found;
    settings::TExtIniFile ini;
    ini.LoadFromText(*text);
    for (const std::wstring& name : ini.ReadSections())
        if (ContainsSearchEngine(name)) found.push_back({name, ini.ReadString(name, L"UNIQUEID", L"")});
    return found;
}

TOperaExplorerSet::TOperaExplorerSet(const RestoreEnvironment& environment) : TCustomExplorerSet(environment) {
    if (!FindOpera(env_.machineRoot, env_.machineKeyPrefix)) (void)FindOpera(env_.userRoot, env_.keyPrefix);
    const std::wstring appData = common::WithoutTrailingBackslashes(env_.appDataFolder);
    profileFolder_ = appData + (version_ < 15 ? L"\\Opera\\Opera\\" : L"\\Opera Software\\Opera Stable\\");
    const std::wstring prefs = profileFolder_ + L"operaprefs.ini";
    if (platform::FileExists(prefs)) {
        activeRegion_ = platform::GetPrivateProfileStringOf(prefs, L"State", L"Active Region", L"");
        defaultLanguage_ = platform::GetPrivateProfileStringOf(prefs, L"State", L"Active Default Language", L"");
    }
}

bool TOperaExplorerSet::FindOpera(HKEY root, const std::wstring& prefix) {
    platform::RegistryKey uninstall;
    if (uninstall.Open(root, prefix + env_.uninstallKeyPath, KEY_READ) != ERROR_SUCCESS) return false;
    for (const std::wstring& name : uninstall.SubKeyNames()) {
        if (platform::UpperCase(name).find(L"OPERA") == std::wstring::npos) continue;
        platform::RegistryKey entry;
        if (entry.Open(uninstall.get(), name, KEY_READ) != ERROR_SUCCESS) continue;
        version_ = addons::LeadingNumber(entry.QueryString(L"DisplayVersion").value_or(L""));
        const std::wstring location = entry.QueryString(L"InstallLocation").value_or(L"");
        programFolder_ = location.empty() ? std::wstring() : common::WithTrailingBackslash(location);
        return true;
    }
    return false;
}

std::wstring TOperaExplorerSet::GetHomepage() {
    if (version_ < 15) {
        const std::wstring prefs = profileFolder_ + L"operaprefs.ini";
        if (!platform::FileExists(prefs)) return {};
        return platform::GetPrivateProfileStringOf(prefs, L"User Prefs", L"Home URL", L"about:blank");
    }
    // The same Preferences the restore rewrites, so the window shows what it will change.
    return ReadChromiumHomepage(*this, profileFolder_ + L"Preferences");
}

bool TOperaExplorerSet::SetHomepage() {
    if (version_ >= 15) {
        const std::wstring preferences = profileFolder_ + L"Preferences";
        return platform::FileExists(preferences) && ResetChromiumPreferences(*this, preferences);
    }
    const std::wstring portal =
        env_.stock.operaPortal + L"/?utm_source=OperaBrowser&utm_medium=HomeButton&utm_campaign=PortalLinks";
    const bool written = EditProfileFile(profileFolder_ + L"operaprefs.ini", [&portal](const std::wstring& copy) {
        return platform::WritePrivateProfileStringOf(copy, L"User Prefs", L"Startup Type", L"2") &&
               platform::WritePrivateProfileStringOf(copy, L"User Prefs", L"Home URL", portal);
    });
    if (!written) return false;
    const std::wstring toolbar = profileFolder_ + L"toolbar\\standard_toolbar.ini";
    if (platform::FileExists(toolbar)) {
        settings::TExtIniFile ini;
        const auto text = settings::ReadTextFile(toolbar);
        if (text) ini.LoadFromText(*text);
        if (ini.SectionExists(L"Pagebar Floating.content"))
            (void)EditProfileFile(toolbar, [](const std::wstring& copy) {
                return platform::EraseProfileSectionOf(copy, L"Pagebar Floating.content");
            });
    }
    return true;
}

std::wstring TOperaExplorerSet::GetSearchEngine() {
    if (version_ > 14) {
        const auto document = ParsePreferencesBytes(platform::ReadFileBytes(profileFolder_ + L"Preferences"));
        const addons::Json* provider = document ? addons::Member(*document, "default_search_provider") : nullptr;
        return provider && provider->is_object() ? addons::MemberText(*provider, "name") : std::wstring();
    }
    if (defaultLanguage_.empty()) return L"Unknown";
    std::wstring id = platform::GetPrivateProfileStringOf(profileFolder_ + L"search.ini", L"Options", L"Default Search", L"");
    if (id.empty()) id = kOperaGoogleId;
    const std::wstring locale = programFolder_ + L"locale\\" + defaultLanguage_ + L"\\";
    const settings::TExtIniFile search = ReadUtf8Ini(locale + L"search.ini");
    for (const std::wstring& section : search.ReadSections()) {
        if (!ContainsSearchEngine(section) ||
            !platform::EqualsIgnoreCase(search.ReadString(section, L"UNIQUEID", L""), id))
            continue;
        const int nameId = search.ReadInteger(section, L"Nameid", 0);
        if (nameId == 0) return search.ReadString(section, L"Name", L"");
        const std::wstring language = locale + defaultLanguage_ + L".lng";
        if (!platform::FileExists(language)) return L"Unknown";
        return ReadUtf8Ini(language).ReadString(L"Translation", std::to_wstring(nameId), L"Unknown");
    }
    return L"Unknown";
}

bool TOperaExplorerSet::RestSearchToDefault() {
    if (programFolder_.empty()) return false;
    const std::wstring regional =
        addons::FindFileInTree(programFolder_ + L"region\\" + activeRegion_ + L"\\", L"search.ini");
    if (regional.empty()) return false;

    const auto sections = SearchEngineSections(regional);
    const SearchEngineSection* google = nullptr;
    for (const auto& section : sections)
        if (section.uniqueId == kOperaGoogleId) {
            google = &section;
            break;
        }
    const StockAddresses& stock = env_.stock;
    const bool regionWritten = EditProfileFile(regional, [&](const std::wstring& copy) {
        if (google) return platform::WritePrivateProfileStringOf(copy, google->name, L"Name", L"Google");
        const std::wstring name = L"Search Engine " + std::to_wstring(sections.size() + 1);
        const std::pair<const wchar_t*, std::wstring> keys[] = {
            {L"UNIQUEID", kOperaGoogleId},
            {L"Name", L"Google"},
            {L"URL", stock.google + L"/search?q=%s&sourceid=opera&ie=utf-8&oe=utf-8&channel=suggest"},
            {L"ICON", stock.operaIconRedirect + L"/favicons/google/favicon.ico"},
            {L"Suggest Protocol", L"JSON"},
            {L"Suggest URL", stock.googleSuggest + L"/complete/search?q={SearchTerm}&client={Client}&hl=en"},
            {L"Query", L""},
            {L"Key", L"g"},
            {L"Is post", L"0"},
            {L"Has endseparator", L"0"},
            {L"Encoding", L"utf-8"},
            {L"Search Type", L"0"},
            {L"Verbtext", L"0"},
            {L"Position", L"-1"},
            {L"Nameid", L"17171"},
            {L"UseTLD", L"1"},
        };
        for (const auto& [key, value] : keys)
            if (!platform::WritePrivateProfileStringOf(copy, name, key, value)) return false;
        return true;
    });
    if (!regionWritten) return false;

    const std::wstring own = profileFolder_ + L"search.ini";
    const auto ownSections = SearchEngineSections(own);
    return EditProfileFile(own, [&ownSections](const std::wstring& copy) {
        if (!platform::WritePrivateProfileStringOf(copy, L"Options", L"Default Search", kOperaGoogleId)) return false;
        for (const auto& section : ownSections)
            if (platform::EqualsIgnoreCase(section.uniqueId, kOperaGoogleId) &&
                !platform::EraseProfileSectionOf(copy, section.name))
                return false;
        return true;
    });
}

}  // namespace tarvo::browserdefaults
