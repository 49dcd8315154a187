#include "browserdefaults/firefox_explorer_set.h"

#include <algorithm>

#include "addons/browser_file.h"
#include "addons/chrome_preferences.h"
#include "addons/json_format.h"
#include "browserdefaults/firefox_search_file.h"
#include "browserdefaults/mozlz4.h"
#include "common/paths.h"
#include "common/text.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/ext_ini_file.h"
#include "settings/safe_ini_file.h"

namespace tarvo::browserdefaults {

using addons::Json;

namespace {

const wchar_t kCompressedSearch[] = L"search.json.mozlz4";
// The engine Firefox falls back to when no default is chosen, and the one a restore shows.
const wchar_t kStockEngine[] = L"Google";
const wchar_t kHomepagePref[] = L"user_pref(\"browser.startup.homepage\",";

const wchar_t kGoogleIcon[] =
    L"data:image/x-icon;base64,AAABAAIAEBAAAAEAIAB7AAAAJgAAACAgAAABACAAvwAAAKEAAACJUE5HDQoaCgAAAA1JSERSAAAAEAAAABAIBgAAAB/z/2EAAABCSURBVHjaY2CgNnBq/fIfH6ZIM15DiNWM1RB0SVwApyHEaMZmCH0MICocaGoAPkAbA0gxhKiERJRmqiRlqmQmcgAADWIqn+eKfmgAAAAASUVORK5CYIKJUE5HDQoaCgAAAA1JSERSAAAAIAAAACAIBgAAAHN6evQAAACGSURBVHja7ZdBCsAgEAN9m3/rj3u390LLbjZhY2nAqzOCYnaMnTKPc0VWC1QiU4WXJFhwSIINT0mo4CGJzEb3lCUQ6FMgCRY8KpESQBMWUMBTElsLUJ5k5fS/wLcF2i8h4xm+xUegQ0L+GdEF2BL0QlKGo5WMCrcopRa13GIwsRjNLIZTdS7UnyVy7avL0AAAAABJRU5ErkJggg==";

// The value of a "name=value" line of a section, or empty.
std::wstring SectionValue(const settings::TExtIniFile::Section& section, const std::wstring& key) {
    for (const std::wstring& line : section.lines) {
        const std::size_t equals = line.find(L'=');
        if (equals != std::wstring::npos && platform::EqualsIgnoreCase(line.substr(0, equals), key))
            return line.substr(equals + 1);
    }
    return {};
}

bool IsTrue(const std::wstring& value) { return value == L"1" || platform::EqualsIgnoreCase(value, L"true"); }

// The text between the last two double quotes of a line.
std::wstring LastQuoted(const std::wstring& line) {
    const std::size_t close = line.rfind(L'"');
    if (close == std::wstring::npos || close == 0) return {};
    const std::size_t open = line.rfind(L'"', close - 1);
    return open == std::wstring::npos ? std::wstring() : line.substr(open + 1, close - open - 1);
}

std::optional<Json> ParseJsonBytes(const std::string& bytes) {
    auto document = addons::ParseJsonKeepingNumbers(addons::JsonTextFromBytes(bytes));
    if (!document || !document->is_object()) return std::nullopt;
    return document;
}

// Every engine object of "search.json", in file order.
template <typename JsonT, typename Visit>
void ForEachEngine(JsonT& document, Visit visit) {
    auto* directories = addons::Member(document, "directories");
    if (!directories || !directories->is_object()) return;
    for (auto& [name, directory] : directories->items()) {
        auto* engines = addons::Member(directory, "engines");
        if (!engines || !engines->is_array()) continue;
        for (auto& engine : *engines)
            if (engine.is_object() && !visit(engine)) return;
    }
}

}  // namespace

std::optional<std::vector<std::wstring>> Utf8Lines(const std::string& bytes) {
    std::string_view text = bytes;
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (!addons::IsUtf8(text)) return std::nullopt;
    std::vector<std::wstring> lines;
    const std::wstring wide = platform::WideFromUtf8(text);
    std::size_t start = 0;
    while (start < wide.size()) {
        std::size_t end = wide.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = wide.size();
        lines.push_back(wide.substr(start, end - start));
        if (end < wide.size() && wide[end] == L'\r' && end + 1 < wide.size() && wide[end + 1] == L'\n') ++end;
        start = end + 1;
    }
    return lines;
}

std::string JoinUtf8Lines(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) text += line + L"\r\n";
    return Utf8WithMarkCrLf(text);
}

std::wstring HomepagePreference(const std::wstring& text) {
    const std::wstring lower = platform::LowerCase(text);
    const std::size_t at = lower.find(platform::LowerCase(kHomepagePref));
    if (at == std::wstring::npos) return {};
    const std::size_t start = at + std::wstring(kHomepagePref).size();
    const std::size_t end = text.find(L");", start);
    std::wstring value = common::Trim(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    if (!value.empty() && value.front() == L'"') value.erase(0, 1);
    if (!value.empty() && value.back() == L'"') value.pop_back();
    return value;
}

SearchPreferences ReadSearchPreferences(const std::vector<std::wstring>& lines) {
    SearchPreferences found;
    for (const std::wstring& line : lines) {
        const std::wstring lower = platform::LowerCase(line);
        if (lower.find(L"user_pref(\"browser.search.defaultenginename\"") != std::wstring::npos)
            found.defaultEngineName = LastQuoted(line);
        else if (lower.find(L"user_pref(\"browser.search.selectedengine\"") != std::wstring::npos)
            found.selectedEngine = LastQuoted(line);
    }
    return found;
}

std::vector<std::wstring> WithoutPreferences(const std::vector<std::wstring>& lines,
                                             std::initializer_list<const wchar_t*> names) {
    std::vector<std::wstring> kept;
    for (const std::wstring& line : lines) {
        const std::wstring lower = platform::LowerCase(line);
        const bool sets = std::any_of(names.begin(), names.end(), [&lower](const wchar_t* name) {
            return lower.find(L"user_pref(" + platform::LowerCase(name)) != std::wstring::npos;
        });
        if (!sets) kept.push_back(line);
    }
    return kept;
}

std::vector<std::wstring> GooglePluginLines(const StockAddresses& stock) {
    return {
        L"<!-- This Source Code Form is subject to the terms of the Mozilla Public - License, v. 2.0. If a copy of "
        L"the MPL was not distributed with this - file, You can obtain one at http://mozilla.org/MPL/2.0/. -->",
        L"<SearchPlugin xmlns=\"http://www.mozilla.org/2006/browser/search/\">",
        L"<ShortName>Google</ShortName>",
        L"<Description>Google Search</Description>",
        L"<InputEncoding>UTF-8</InputEncoding>",
        std::wstring(L"<Image width=\"16\" height=\"16\">") + kGoogleIcon + L"</Image>",
        L"<Url type=\"application/x-suggestions+json\" method=\"GET\" template=\"" + stock.googleSuggest +
            L"/complete/search?client=firefox&amp;q={searchTerms}\"/>",
        L"<Url type=\"text/html\" method=\"GET\" template=\"" + stock.google + L"/search\">",
        L"<Param name=\"q\" value=\"{searchTerms}\"/>",
        L"<Param name=\"ie\" value=\"utf-8\"/>",
        L"<Param name=\"oe\" value=\"utf-8\"/>",
        L"<Param name=\"aq\" value=\"t\"/>",
        L"<Param name=\"rls\" value=\"{moz:distributionID}:{moz:locale}:{moz:official}\"/>",
        L"<MozParam name=\"client\" condition=\"defaultEngine\" trueValue=\"firefox-a\" falseValue=\"firefox\"/>",
        L"<MozParam name=\"channel\" condition=\"purpose\" purpose=\"contextmenu\" value=\"rcs\"/>",
        L"<MozParam name=\"channel\" condition=\"purpose\" purpose=\"keyword\" value=\"fflb\"/>",
        L"<MozParam name=\"channel\" condition=\"purpose\" purpose=\"homepage\" value=\"np\"/>",
        L"<MozParam name=\"source\" condition=\"purpose\" purpose=\"homepage\" value=\"hp\"/>",
        L"</Url>",
        L"<SearchForm>" + stock.google + L"/</SearchForm>",
        L"</SearchPlugin>",
    };
}

TFireFoxExplorerSet::TFireFoxExplorerSet(const RestoreEnvironment& environment) : TCustomExplorerSet(environment) {
    profileFolder_ = FindDefaultProfile();
    if (!profileFolder_.empty()) {
        const std::wstring ini = profileFolder_ + L"extensions.ini";
        if (platform::FileExists(ini))
            extensionDir_ = platform::GetPrivateProfileStringOf(ini, L"ThemeDirs", L"Extension0", L"");
    }
    const std::size_t at = extensionDir_.find(L"extensions");
    if (at != std::wstring::npos) programFolder_ = extensionDir_.substr(0, at);
}

std::wstring TFireFoxExplorerSet::FindDefaultProfile() const {
    if (env_.appDataFolder.empty()) return {};
    const std::wstring base = common::WithTrailingBackslash(env_.appDataFolder) + L"Mozilla\\Firefox\\";
    const auto bytes = platform::FileExists(base + L"profiles.ini") ? platform::ReadFileBytes(base + L"profiles.ini")
                                                                     : std::nullopt;
    if (!bytes) return {};
    settings::TExtIniFile ini;
    ini.LoadFromText(platform::WideFromUtf8(addons::JsonTextFromBytes(*bytes)));
    const settings::TExtIniFile::Section* chosen = nullptr;
    for (const auto& section : ini.Sections())
        if (IsTrue(SectionValue(section, L"Default"))) {
            chosen = &section;
            break;
        }
    if (!chosen)
        for (const auto& section : ini.Sections())
            if (platform::EqualsIgnoreCase(section.name, L"Profile0")) {
                chosen = &section;
                break;
            }
    if (!chosen) return {};
    std::wstring path = SectionValue(*chosen, L"Path");
    if (path.empty()) return {};
    if (IsTrue(SectionValue(*chosen, L"IsRelative"))) path = base + path;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    path = common::WithTrailingBackslash(path);
    return platform::FolderExists(path) ? path : std::wstring();
}

std::wstring TFireFoxExplorerSet::GetHomepage() {
    if (profileFolder_.empty() || !platform::FolderExists(profileFolder_)) return {};
    for (const wchar_t* name : {L"user.js", L"prefs.js"}) {
        const std::wstring file = profileFolder_ + name;
        if (!platform::FileExists(file)) continue;
        const auto bytes = ReadWithRetries(env_, file);
        if (!bytes) continue;
        std::wstring text = platform::WideFromUtf8(addons::JsonTextFromBytes(*bytes));
        std::wstring home = HomepagePreference(text);
        if (!home.empty()) return home;
    }
    return {};
}

std::wstring TFireFoxExplorerSet::GetSearchEngine() {
    if (profileFolder_.empty()) return {};
    // Current versions: the compressed list names the default, and prefs.js no longer does.
    const std::wstring compressed = profileFolder_ + kCompressedSearch;
    if (platform::FileExists(compressed)) {
        const auto file = ReadWithRetries(env_, compressed);
        const auto plain = file ? DecodeMozLz4(*file) : std::nullopt;
        const auto document = plain ? ParseJsonBytes(*plain) : std::nullopt;
        if (document) {
            const std::wstring current = DefaultEngineIn(*document);
            return current.empty() ? kStockEngine : current;
        }
    }
    const std::wstring prefs = profileFolder_ + L"prefs.js";
    if (!platform::FileExists(prefs)) return {};
    const auto bytes = ReadWithRetries(env_, prefs);
    const auto lines = bytes ? Utf8Lines(*bytes) : std::nullopt;
    if (!lines) return {};
    const SearchPreferences found = ReadSearchPreferences(*lines);
    if (found.selectedEngine.empty()) return found.defaultEngineName;
    return IsEngineHidden(found.selectedEngine) ? L"Unknown" : found.selectedEngine;
}

bool TFireFoxExplorerSet::IsEngineHidden(const std::wstring& name) const {
    const auto bytes = platform::ReadFileBytes(profileFolder_ + L"search.json");
    const auto document = bytes ? ParseJsonBytes(*bytes) : std::nullopt;
    if (!document) return false;
    bool hidden = false;
    ForEachEngine(*document, [&](const Json& engine) {
        const Json* engineName = addons::Member(engine, "_name");
        if (!engineName || !engineName->is_string() ||
            !platform::EqualsIgnoreCase(platform::WideFromUtf8(engineName->get_ref<const std::string&>()), name))
            return true;
        const Json* flag = addons::Member(engine, "_hidden");
        hidden = flag && flag->is_boolean() && flag->get<bool>();
        return false;
    });
    return hidden;
}

bool TFireFoxExplorerSet::SetHomepage() {
    std::vector<std::wstring> trace{L"begin SetHomepage", L"UserDataPath - " + profileFolder_};
    try {
        if (profileFolder_.empty() || !platform::FolderExists(profileFolder_)) return false;
        const std::wstring prefs = profileFolder_ + L"prefs.js";
        std::vector<std::wstring> lines;
        if (platform::FileExists(prefs)) {
            // A prefs.js we cannot read or decode is the user's whole configuration: it is
            // never replaced by the two lines we would add.
            const auto bytes = ReadWithRetries(env_, prefs);
            auto read = bytes ? Utf8Lines(*bytes) : std::nullopt;
            if (!read) return false;
            lines = std::move(*read);
        }
        trace.push_back(L"1");
        lines = WithoutPreferences(lines, {L"\"browser.startup.page\"", L"\"browser.startup.homepage\"",
                                           L"\"browser.sessionstore.resume_from_crash\"",
                                           L"\"browser.sessionstore.resume_session_once\"",
                                           L"\"browser.sessionstore.max_tabs_undo\"",
                                           L"\"browser.sessionstore.max_windows_undo\"", L"\"browser.newtab.url\""});
        trace.push_back(L"2");
        lines.push_back(L"user_pref(\"browser.startup.homepage\", \"" + env_.stock.firefoxStart + L"/firefox\");");
        lines.push_back(L"user_pref(\"browser.startup.page\", 1);");
        if (!addons::ReplaceFileWithRetries(prefs, JoinUtf8Lines(lines), env_.retries)) return false;
        if (env_.pumpMessages) env_.pumpMessages();
        trace.push_back(L"3");
        trace.push_back(L"4");
        (void)platform::DeleteFileOf(profileFolder_ + L"sessionstore.js");
        trace.push_back(L"end SetHomepage");
        return true;
    } catch (const std::exception& error) {
        trace.push_back(L"SetHomepage - " + platform::WideFromUtf8(error.what()));
        WriteTrace(L"uninstallerlog_SetHomepage.txt", trace);
        return false;
    }
}

bool TFireFoxExplorerSet::RestSearchToDefault() {
    std::vector<std::wstring> trace{L"begin RestSearchToDefault"};
    try {
        if (!UpdateCompressedSearch()) return false;
        trace.push_back(L"UpdateCompressedSearch");
        if (!UpdateSearch()) return false;
        trace.push_back(L"UpdateSearch");
        if (!CreateGoogleFile()) return false;
        trace.push_back(L"CreateGoogleFile");
        const bool rewritten = RewriteSearchPreferences();
        trace.push_back(L"end RestSearchToDefault");
        return rewritten;
    } catch (const std::exception& error) {
        trace.push_back(L"RestSearchToDefault - " + platform::WideFromUtf8(error.what()));
        WriteTrace(L"uninstallerlog_RestSearchToDefault.txt", trace);
        return false;
    }
}

bool TFireFoxExplorerSet::UpdateSearch() {
    const std::wstring path = profileFolder_ + L"search.json";
    if (profileFolder_.empty() || !platform::FileExists(path)) return true;
    const auto bytes = ReadWithRetries(env_, path);
    auto document = bytes ? ParseJsonBytes(*bytes) : std::nullopt;
    if (!document) return false;  // a search.json we cannot read is left as it is
    bool changed = false;
    ForEachEngine(*document, [&](Json& engine) {
        const Json* id = addons::Member(engine, "_id");
        if (!id || !id->is_string() || id->get_ref<const std::string&>().find("google.xml") == std::string::npos)
            return true;
        Json* hidden = addons::Member(engine, "_hidden");
        if (!hidden) {
            engine["_hidden"] = false;
            changed = true;
        } else if (hidden->is_boolean() && hidden->get<bool>()) {
            *hidden = false;
            changed = true;
        }
        return true;
    });
    return !changed || addons::ReplaceFileWithRetries(path, addons::IndentedPreferences(*document), env_.retries);
}

bool TFireFoxExplorerSet::UpdateCompressedSearch() {
    const std::wstring path = profileFolder_ + kCompressedSearch;
    if (profileFolder_.empty() || !platform::FileExists(path)) return true;
    const auto file = ReadWithRetries(env_, path);
    const auto plain = file ? DecodeMozLz4(*file) : std::nullopt;
    auto document = plain ? ParseJsonBytes(*plain) : std::nullopt;
    if (!document) return false;  // the user's engines are never replaced by what we cannot read
    if (!ResetSearchDefaults(*document, kStockEngine)) return true;
    const auto packed = EncodeMozLz4(addons::CompactJson(*document));
    return packed && addons::ReplaceFileWithRetries(path, *packed, env_.retries);
}

bool TFireFoxExplorerSet::CreateGoogleFile() {
    // Without the program's folder the plug-in would land wherever we were started from.
    if (programFolder_.empty()) return true;
    const std::wstring folder = programFolder_ + L"searchplugins\\";
    const std::wstring target = folder + L"google.xml";
    if (platform::FileExists(target)) return true;
    if (!platform::FolderExists(folder) && !settings::EnsureFolderExists(folder)) return false;
    (void)addons::ReplaceFileWithRetries(target, JoinUtf8Lines(GooglePluginLines(env_.stock)), env_.pluginRetries);
    return true;
}

bool TFireFoxExplorerSet::RewriteSearchPreferences() {
    const std::wstring prefs = profileFolder_ + L"prefs.js";
    if (profileFolder_.empty() || !platform::FileExists(prefs)) return false;
    const auto bytes = ReadWithRetries(env_, prefs);
    auto lines = bytes ? Utf8Lines(*bytes) : std::nullopt;
    if (!lines) return false;
    std::vector<std::wstring> kept =
        WithoutPreferences(*lines, {L"\"browser.search.selectedEngine\"", L"\"browser.search.defaultengine\"",
                                    L"\"browser.search.defaultenginename\"", L"\"keyword.URL\""});
    kept.push_back(L"user_pref(\"browser.search.defaultengine\", \"Google\");");
    kept.push_back(L"user_pref(\"browser.search.defaultenginename\", \"Google\");");
    kept.push_back(L"user_pref(\"browser.search.selectedEngine\", \"Google\");");
    return addons::ReplaceFileContent(prefs, JoinUtf8Lines(kept));
}

void TFireFoxExplorerSet::WriteTrace(const wchar_t* fileName, const std::vector<std::wstring>& trace) const {
    if (env_.traceFolder.empty()) return;
    std::wstring text;
    for (const std::wstring& line : trace) text += line + L"\r\n";
    (void)platform::WriteFileBytes(env_.traceFolder + fileName, Utf8WithMarkCrLf(text));
}

}  // namespace tarvo::browserdefaults
