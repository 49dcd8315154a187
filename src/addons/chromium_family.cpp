#include "addons/chromium_family.h"

#include <algorithm>

#include "addons/chrome_preferences.h"
#include "addons/chromium_extensions.h"
#include "common/paths.h"
#include "platform/files.h"
#include "platform/text.h"
#include "settings/app_frame.h"

namespace tarvo::addons {

namespace {

struct FamilyMember {
    BrowserKind kind;
    const wchar_t* dataFolder;  // under local application data
    const wchar_t* policyKey;
};

// Each vendor's documented policy key; a browser's channels share it and its code.
constexpr FamilyMember kMembers[] = {
    {BrowserKind::Chrome, L"Google\\Chrome", L"Software\\Policies\\Google\\Chrome"},
    {BrowserKind::Chrome, L"Google\\Chrome Beta", L"Software\\Policies\\Google\\Chrome"},
    {BrowserKind::Chrome, L"Google\\Chrome Dev", L"Software\\Policies\\Google\\Chrome"},
    {BrowserKind::Chrome, L"Google\\Chrome SxS", L"Software\\Policies\\Google\\Chrome"},
    {BrowserKind::Edge, L"Microsoft\\Edge", L"Software\\Policies\\Microsoft\\Edge"},
    {BrowserKind::Edge, L"Microsoft\\Edge Beta", L"Software\\Policies\\Microsoft\\Edge"},
    {BrowserKind::Edge, L"Microsoft\\Edge Dev", L"Software\\Policies\\Microsoft\\Edge"},
    {BrowserKind::Edge, L"Microsoft\\Edge SxS", L"Software\\Policies\\Microsoft\\Edge"},
    {BrowserKind::Brave, L"BraveSoftware\\Brave-Browser", L"Software\\Policies\\BraveSoftware\\Brave"},
    {BrowserKind::Brave, L"BraveSoftware\\Brave-Browser-Beta", L"Software\\Policies\\BraveSoftware\\Brave"},
    {BrowserKind::Brave, L"BraveSoftware\\Brave-Browser-Nightly", L"Software\\Policies\\BraveSoftware\\Brave"},
    {BrowserKind::Vivaldi, L"Vivaldi", L"Software\\Policies\\Vivaldi"},
    {BrowserKind::Chromium, L"Chromium", L"Software\\Policies\\Chromium"},
};

// Where we note the block-list values we added, per policy key.
std::wstring RecordKeyFor(const std::wstring& policyKey) {
    return std::wstring(L"Software") + settings::kDataSubFolder + L"\\ExtensionBlocklist\\" +
           policyKey.substr(policyKey.find(L"Policies\\") + 9);
}

bool IsProfileRoot(const std::wstring& folder) {
    return platform::FileExists(folder + L"Local State") || platform::FileExists(folder + L"Default\\Preferences");
}

}  // namespace

std::vector<ChromiumBrowser> FindChromiumBrowsers(const CleanerEnvironment& environment) {
    std::vector<ChromiumBrowser> found;
    if (environment.localAppDataFolder.empty()) return found;
    for (const FamilyMember& member : kMembers) {
        const std::wstring folder = common::WithTrailingBackslash(environment.localAppDataFolder) + member.dataFolder +
                                    L"\\User Data\\";
        if (!IsProfileRoot(folder)) continue;
        if (found.empty() || found.back().kind != member.kind)
            found.push_back({member.kind, {}, {member.policyKey, HKEY_CURRENT_USER, RecordKeyFor(member.policyKey)}});
        found.back().userDataFolders.push_back(folder);
    }
    return found;
}

bool HasLocalState(const ChromiumBrowser& browser) {
    return std::any_of(browser.userDataFolders.begin(), browser.userDataFolders.end(),
                       [](const std::wstring& folder) { return platform::FileExists(folder + L"Local State"); });
}

std::vector<std::wstring> ProfileNamesIn(const Json* localState) {
    std::vector<std::wstring> names;
    const Json* profile = localState ? Member(*localState, "profile") : nullptr;
    const Json* cache = profile ? Member(*profile, "info_cache") : nullptr;
    if (cache && cache->is_object())
        for (const auto& [name, entry] : cache->items()) {
            const std::wstring folder = platform::WideFromUtf8(name);
            // A name that leaves the user-data folder is not a profile the browser made.
            if (!folder.empty() && folder.find_first_of(L"\\/:") == std::wstring::npos && folder != L".." && folder != L".")
                names.push_back(folder);
        }
    if (names.empty()) names.emplace_back(L"Default");
    return names;
}

ChromiumFamilyCleaner::ChromiumFamilyCleaner(const CleanerEnvironment& environment, ChromiumBrowser browser)
    : TChromeBrowserCleaner(environment,
                            (browser.userDataFolders.empty() ? std::wstring() : browser.userDataFolders.front()) +
                                L"Default\\",
                            browser.kind, browser.kind == BrowserKind::Chrome),
      browser_(std::move(browser)) {}

bool ChromiumFamilyCleaner::IsInstalled() {
    return std::any_of(browser_.userDataFolders.begin(), browser_.userDataFolders.end(), IsProfileRoot);
}

void ChromiumFamilyCleaner::ScanItems() {
    ForgetExtensionPluginFiles();
    const PolicyLists policies = ReadPolicyLists(browser_.policy);
    for (const std::wstring& folder : browser_.userDataFolders) {
        const std::wstring localStatePath = folder + L"Local State";
        const auto localState = ReadJsonObject(localStatePath);
        for (const std::wstring& profile : ProfileNamesIn(localState ? &*localState : nullptr))
            ScanProfile(folder + profile + L"\\", policies);
    }
    // The other browsers of the family never loaded the plug-ins other programs register,
    // and lists them as theirs would be wrong; Chrome keeps the passes it always had.
    if (browser_.kind != BrowserKind::Chrome) return;
    const Json* preferences = ReadPreferencesKept();
    LoadMozillaPlugins();
    ScanPlugins(preferences);
}

void ChromiumFamilyCleaner::ScanProfile(const std::wstring& profileFolder, const PolicyLists& policies) {
    // An extension's entry may be split over both files; the signed one is what the browser
    // trusts where both hold the same setting.
    Json settings = Json::object();
    for (const wchar_t* name : {L"Preferences", L"Secure Preferences"}) {
        auto document = ReadJsonObject(profileFolder + name);
        Json* extensions = document ? Member(*document, "extensions") : nullptr;
        Json* part = extensions ? Member(*extensions, "settings") : nullptr;
        if (!part || !part->is_object()) continue;
        // The entries are moved, not copied: a manifest may carry kilobytes of text.
        if (settings.empty()) {
            settings = std::move(*part);
            continue;
        }
        for (auto& [id, entry] : part->items()) {
            Json& merged = settings[id];
            if (merged.is_object() && entry.is_object())
                merged.update(entry);
            else
                merged = std::move(entry);
        }
    }
    for (ChromiumExtension& extension : ExtensionsIn(settings, profileFolder + L"Extensions\\", true)) {
        // A blocked extension is listed whatever its state says, so the user sees why it
        // does not run and can still have it gone; one the user switched off is not listed.
        const bool blocked = policies.Blocks(extension.id);
        TPluginItem* item = AddItem({browser_.kind, AddonKind::Extension, extension.id, extension.name,
                                     extension.description, extension.versionFolder, L"", extension.version,
                                     extension.enabled || blocked, 0, nullptr, {}});
        if (item) item->BlockedByPolicy = blocked;
        if (extension.enabled && !blocked)
            for (const std::wstring& file : extension.pluginFiles) NoteExtensionPluginFile(file);
    }
}

bool ChromiumFamilyCleaner::RemoveItem(TPluginItem& item) {
    if (item.Collection.AddonKind != AddonKind::Extension) return TChromeBrowserCleaner::RemoveItem(item);
    if (IsBlockedByPolicy(browser_.policy, item.ItemId)) {
        item.BlockedByPolicy = true;
        return true;
    }
    if (!BlockExtension(browser_.policy, item.ItemId)) return false;
    item.BlockedByPolicy = true;
    return true;
}

bool ChromiumFamilyCleaner::RestoreItem(TPluginItem& item) {
    if (item.Collection.AddonKind != AddonKind::Extension) return TChromeBrowserCleaner::RestoreItem(item);
    const bool free = UnblockExtension(browser_.policy, item.ItemId);
    item.BlockedByPolicy = !free;
    return free;
}

}  // namespace tarvo::addons
