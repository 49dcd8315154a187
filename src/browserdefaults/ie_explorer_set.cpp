#include "browserdefaults/ie_explorer_set.h"

#include "platform/registry.h"
#include "platform/text.h"

namespace tarvo::browserdefaults {

namespace {
const wchar_t kMain[] = L"Software\\Microsoft\\Internet Explorer\\Main";
const wchar_t kScopes[] = L"Software\\Microsoft\\Internet Explorer\\SearchScopes";
const wchar_t kUserPreferences[] = L"Software\\Microsoft\\Internet Explorer\\User Preferences";
const wchar_t kControlPanelPolicy[] = L"Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";

std::wstring StringOr(const platform::KeyHandle& key, const wchar_t* name, std::wstring fallback = {}) {
    auto value = key.QueryString(name);
    return value ? std::move(*value) : std::move(fallback);
}
}  // namespace

std::wstring TIEExplorerSet::GetHomepage() {
    platform::RegistryKey key;
    if (key.Open(env_.userRoot, UserPath(kMain), KEY_READ) != ERROR_SUCCESS) return {};
    return StringOr(key, L"Start Page");
}

std::wstring TIEExplorerSet::GetSearchEngine() {
    platform::RegistryKey scopes;
    if (scopes.Open(env_.userRoot, UserPath(kScopes), KEY_READ) != ERROR_SUCCESS) return L"Bing";
    const std::wstring scope = StringOr(scopes, L"DefaultScope");
    if (scope.empty()) return L"Bing";
    platform::RegistryKey key;
    if (key.Open(env_.userRoot, UserPath(kScopes) + L"\\" + scope, KEY_READ) != ERROR_SUCCESS) return {};
    return StringOr(key, L"DisplayName");
}

bool TIEExplorerSet::SetHomepage() {
    platform::RegistryKey main;
    if (main.Create(env_.userRoot, UserPath(kMain)) != ERROR_SUCCESS) return false;
    const std::wstring portal = env_.stock.iePortal + L"/?ocid=iehp";
    if (main.SetString(L"Start Page", portal) != ERROR_SUCCESS) return false;
    if (main.SetString(L"Default_Page_URL", portal) != ERROR_SUCCESS) return false;
    (void)main.DeleteValue(L"Secondary Start Pages");
    platform::RegistryKey policy;
    if (policy.Create(env_.userRoot, UserPath(kControlPanelPolicy)) != ERROR_SUCCESS) return false;
    for (const wchar_t* name : {L"Homepage", L"Settings", L"Links", L"SecAddSites"})
        if (policy.SetDword(name, 0) != ERROR_SUCCESS) return false;
    return true;
}

bool TIEExplorerSet::RestSearchToDefault() {
    const platform::RegistryLocation preferences{env_.userRoot, UserPath(kUserPreferences)};
    if (platform::RegKeyExists(env_.userRoot, preferences.path, platform::RegistryView::Default) &&
        !platform::DeleteKey(preferences))
        return false;

    std::wstring oldDefault, target;
    std::vector<std::wstring> names;
    {
        platform::RegistryKey scopes;
        if (scopes.Create(env_.userRoot, UserPath(kScopes)) != ERROR_SUCCESS) return false;
        oldDefault = StringOr(scopes, L"DefaultScope");
        names = scopes.SubKeyNames();
    }
    for (const std::wstring& name : names) {
        platform::RegistryKey scope;
        if (scope.Open(env_.userRoot, UserPath(kScopes) + L"\\" + name, KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
            continue;
        const auto display = scope.QueryString(L"DisplayName");
        if (!display || !platform::EqualsIgnoreCase(*display, L"Bing")) continue;
        if (scope.SetDword(L"Deleted", 0) != ERROR_SUCCESS) return false;
        target = name;
        break;
    }
    if (target.empty() && !names.empty()) {
        platform::RegistryKey scope;
        if (scope.Create(env_.userRoot, UserPath(kScopes) + L"\\" + kBingScopeName) != ERROR_SUCCESS) return false;
        const std::wstring& bing = env_.stock.bing;
        const bool written =
            scope.SetDword(L"Codepage", 65001) == ERROR_SUCCESS &&
            scope.SetString(L"DisplayName", L"Bing") == ERROR_SUCCESS &&
            scope.SetString(L"FaviconURL", bing + L"/favicon.ico") == ERROR_SUCCESS &&
            scope.SetString(L"OSDFileURL", bing + L"/osd.xml") == ERROR_SUCCESS &&
            scope.SetString(L"URL", bing + L"/search?q={searchTerms}&src=IE-SearchBox&FORM=IE10SR") == ERROR_SUCCESS &&
            scope.SetDword(L"Deleted", 0) == ERROR_SUCCESS;
        if (!written) return false;
        target = kBingScopeName;
    }
    if (target != oldDefault) {
        platform::RegistryKey scopes;
        if (scopes.Create(env_.userRoot, UserPath(kScopes)) != ERROR_SUCCESS) return false;
        if (scopes.SetString(L"DefaultScope", target) != ERROR_SUCCESS) return false;
        (void)scopes.DeleteValue(L"DoNotAskAgain");
    }
    // The machine's default only follows a scope that exists: an empty name there would
    // take every other user's default search away too.
    if (!target.empty()) {
        platform::RegistryKey machine;
        if (machine.Create(env_.machineRoot, env_.machineKeyPrefix + kScopes) == ERROR_SUCCESS)
            (void)machine.SetString(L"DefaultScope", target);
    }
    return true;
}

}  // namespace tarvo::browserdefaults
