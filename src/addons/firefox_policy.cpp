#include "addons/firefox_policy.h"

#include "addons/chrome_preferences.h"
#include "common/paths.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "settings/app_frame.h"

namespace tarvo::addons {

namespace {

constexpr auto kView = platform::RegistryView::Wow64_64Key;
const char kBlocked[] = "blocked";

const Json* SettingsOf(const Json& policies) {
    const Json* inner = Member(policies, "policies");
    const Json* settings = inner ? Member(*inner, "ExtensionSettings") : nullptr;
    return settings && settings->is_object() ? settings : nullptr;
}

const Json* EntryOf(const Json& settings, const std::wstring& id) {
    return Member(settings, platform::Utf8FromWide(id).c_str());
}

bool IsOurBlock(const Json& entry) {
    return entry.is_object() && entry.size() == 1 && MemberText(entry, "installation_mode") == L"blocked";
}

std::wstring InstallFolderIn(platform::RegistryView view) {
    const std::wstring base = L"SOFTWARE\\Mozilla\\Mozilla Firefox";
    platform::RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, base, KEY_READ, view) != ERROR_SUCCESS) return {};
    const auto version = key.QueryString(L"CurrentVersion");
    if (!version || version->empty()) return {};
    platform::RegistryKey main;
    if (main.Open(HKEY_LOCAL_MACHINE, base + L"\\" + *version + L"\\Main", KEY_READ, view) != ERROR_SUCCESS) return {};
    return main.QueryString(L"Install Directory").value_or(L"");
}

}  // namespace

bool PoliciesBlock(const Json& policies, const std::wstring& id) {
    const Json* settings = SettingsOf(policies);
    if (!settings) return false;
    if (const Json* entry = EntryOf(*settings, id)) return MemberText(*entry, "installation_mode") == L"blocked";
    const Json* all = Member(*settings, "*");
    return all && MemberText(*all, "installation_mode") == L"blocked";
}

PolicyEdit AddBlockTo(Json& policies, const std::wstring& id) {
    if (!policies.is_object() || id.empty()) return PolicyEdit::Refused;
    if (PoliciesBlock(policies, id)) return PolicyEdit::Unchanged;
    Json& inner = policies["policies"];
    if (inner.is_null()) inner = Json::object();
    if (!inner.is_object()) return PolicyEdit::Refused;
    Json& settings = inner["ExtensionSettings"];
    if (settings.is_null()) settings = Json::object();
    if (!settings.is_object()) return PolicyEdit::Refused;
    const std::string key = platform::Utf8FromWide(id);
    if (settings.contains(key)) return PolicyEdit::Refused;  // someone else's choice for this add-on
    settings[key] = Json{{"installation_mode", kBlocked}};
    return PolicyEdit::Changed;
}

PolicyEdit RemoveBlockFrom(Json& policies, const std::wstring& id) {
    Json* inner = Member(policies, "policies");
    Json* settings = inner ? Member(*inner, "ExtensionSettings") : nullptr;
    const std::string key = platform::Utf8FromWide(id);
    if (!settings || !settings->is_object() || !settings->contains(key)) return PolicyEdit::Unchanged;
    if (!IsOurBlock((*settings)[key])) return PolicyEdit::Refused;
    settings->erase(key);
    return PolicyEdit::Changed;
}

FirefoxPolicyFile InstalledFirefoxPolicyFile() {
    FirefoxPolicyFile file;
    file.recordKey = std::wstring(L"Software") + settings::kDataSubFolder + L"\\ExtensionBlocklist\\Mozilla\\Firefox";
    std::wstring folder = InstallFolderIn(platform::RegistryView::Wow64_64Key);
    if (folder.empty()) folder = InstallFolderIn(platform::RegistryView::Default);
    if (!folder.empty()) file.path = common::WithTrailingBackslash(folder) + L"distribution\\policies.json";
    return file;
}

std::optional<Json> ReadPolicies(const std::wstring& path) {
    if (!platform::FileExists(path)) return Json::object();
    return ReadJsonObject(path);
}

bool BlockInPolicyFile(const FirefoxPolicyFile& file, const std::wstring& id, const WriteRetries& retries) {
    if (file.path.empty()) return false;
    auto policies = ReadPolicies(file.path);
    if (!policies) return false;
    switch (AddBlockTo(*policies, id)) {
        case PolicyEdit::Unchanged: return true;
        case PolicyEdit::Refused: return false;
        case PolicyEdit::Changed: break;
    }
    const std::wstring folder = file.path.substr(0, file.path.find_last_of(L'\\'));
    if (!platform::FolderExists(folder) && !platform::CreateDirectoryOf(folder)) return false;
    // The record first: a block written but not recorded could never be lifted by us again.
    platform::RegistryKey record;
    if (record.Create(file.recordRoot, file.recordKey, KEY_READ | KEY_WRITE, kView) != ERROR_SUCCESS ||
        record.SetString(id, L"policies.json") != ERROR_SUCCESS)
        return false;
    if (ReplaceFileWithRetries(file.path, policies->dump(2) + "\r\n", retries)) return true;
    (void)record.DeleteValue(id);
    return false;
}

bool UnblockInPolicyFile(const FirefoxPolicyFile& file, const std::wstring& id, const WriteRetries& retries) {
    if (file.path.empty()) return false;
    auto policies = ReadPolicies(file.path);
    if (!policies) return false;
    platform::RegistryKey record;
    const bool ours = record.Open(file.recordRoot, file.recordKey, KEY_READ | KEY_WRITE, kView) == ERROR_SUCCESS &&
                      record.QueryString(id).has_value();
    if (ours) {
        // An entry someone changed since is theirs now: it stays, and so does its effect.
        const PolicyEdit edit = RemoveBlockFrom(*policies, id);
        if (edit == PolicyEdit::Changed && !ReplaceFileWithRetries(file.path, policies->dump(2) + "\r\n", retries))
            return false;
        (void)record.DeleteValue(id);
    }
    return !PoliciesBlock(*policies, id);
}

}  // namespace tarvo::addons
