#include "browserdefaults/chromium_family_explorer_set.h"

#include "addons/browser_file.h"
#include "addons/chromium_family.h"
#include "browserdefaults/chrome_explorer_set.h"
#include "platform/files.h"

namespace tarvo::browserdefaults {

TChromiumFamilyExplorerSet::TChromiumFamilyExplorerSet(const RestoreEnvironment& environment, BrowserKind kind)
    : TCustomExplorerSet(environment) {
    addons::CleanerEnvironment where;
    where.appDataFolder = environment.appDataFolder;
    where.localAppDataFolder = environment.localAppDataFolder;
    for (const addons::ChromiumBrowser& browser : addons::FindChromiumBrowsers(where)) {
        if (browser.kind != kind) continue;
        hasLocalState_ = addons::HasLocalState(browser);
        for (const std::wstring& folder : browser.userDataFolders) {
            const auto localState = addons::ReadJsonObject(folder + L"Local State");
            for (const std::wstring& profile : addons::ProfileNamesIn(localState ? &*localState : nullptr))
                if (platform::FolderExists(folder + profile)) profiles_.push_back(folder + profile + L"\\");
        }
    }
}

std::wstring TChromiumFamilyExplorerSet::GetHomepage() {
    return profiles_.empty() ? std::wstring() : ReadChromiumHomepage(*this, profiles_.front() + L"Preferences");
}

std::wstring TChromiumFamilyExplorerSet::GetSearchEngine() {
    return profiles_.empty() ? L"Unknown" : ReadChromiumSearchEngine(env_, profiles_.front() + L"Web Data");
}

bool TChromiumFamilyExplorerSet::SetHomepage() {
    bool restored = false, failed = false;
    for (const std::wstring& profile : profiles_) {
        // A profile the browser made but never opened has no settings to put back.
        if (!platform::FileExists(profile + L"Preferences")) continue;
        if (ResetChromiumPreferences(*this, profile + L"Preferences")) restored = true;
        else failed = true;
    }
    return restored && !failed;
}

bool TChromiumFamilyExplorerSet::RestSearchToDefault() {
    bool restored = true;
    for (const std::wstring& profile : profiles_)
        if (!ResetChromiumSearch(env_, profile + L"Web Data")) restored = false;
    return restored;
}

}  // namespace tarvo::browserdefaults
