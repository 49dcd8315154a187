#pragma once
// The Chromium-based browsers (Microsoft Edge, Brave, Vivaldi, Chromium, and a current
// Chrome with its other channels): each keeps a user-data folder per channel under local
// application data, with "Local State" naming its profiles, and every profile keeps its
// extensions in "Preferences" and "Secure Preferences". The protected file is signed by the
// browser, so an extension is switched off through the browser's documented block-list
// policy, never by editing those files.

#include <string>
#include <vector>

#include "addons/chrome_browser_cleaner.h"
#include "addons/extension_policy.h"

namespace tarvo::addons {

// One browser of the family: one browser code, every channel's user-data folder found.
struct ChromiumBrowser {
    BrowserKind kind{};
    std::vector<std::wstring> userDataFolders;  // each with a trailing backslash, stable channel first
    ExtensionPolicy policy;
};

// The family's browsers of this user with at least one user-data folder that holds
// "Local State" or a "Default" profile, in the order Chrome, Edge, Brave, Vivaldi, Chromium.
[[nodiscard]] std::vector<ChromiumBrowser> FindChromiumBrowsers(const CleanerEnvironment& environment);

// Whether any of the browser's folders is in today's layout (has "Local State").
[[nodiscard]] bool HasLocalState(const ChromiumBrowser& browser);

// The profile folders "Local State" names ("Default", "Profile 1" …); "Default" alone when
// the file names none.
[[nodiscard]] std::vector<std::wstring> ProfileNamesIn(const Json* localState);

// Chrome's passes over every channel and every profile of one browser of the family:
// extensions from both settings files of each profile, switched off by the block-list
// policy; for Chrome itself also the plug-in passes of Chrome's cleaner.
class ChromiumFamilyCleaner : public TChromeBrowserCleaner {
public:
    ChromiumFamilyCleaner(const CleanerEnvironment& environment, ChromiumBrowser browser);

    [[nodiscard]] bool IsInstalled() override;
    void ScanItems() override;
    [[nodiscard]] bool RemoveItem(TPluginItem& item) override;
    [[nodiscard]] bool RestoreItem(TPluginItem& item) override;

    [[nodiscard]] const ChromiumBrowser& Family() const noexcept { return browser_; }

private:
    void ScanProfile(const std::wstring& profileFolder, const PolicyLists& policies);

    ChromiumBrowser browser_;
};

}  // namespace tarvo::addons
