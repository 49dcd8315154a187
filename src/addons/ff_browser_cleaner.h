#pragma once
// Firefox's add-ons, from every profile profiles.ini names: extensions from the add-on
// database "extensions.json" of a current Firefox, or from "extensions.sqlite" of an older
// one (read through a private copy, never the live file), plug-ins from "pluginreg.dat".
// Removing switches an add-on off in those files (and in "extensions.ini"), only while no
// Firefox has the profile open; or, for a user who prefers it, through the ExtensionSettings
// policy in "policies.json". Nothing is deleted by us.

#include <functional>
#include <string>
#include <vector>

#include "addons/browser_cleaner.h"
#include "addons/browser_file.h"
#include "addons/firefox_policy.h"

namespace tarvo::addons {

class TFFBrowserCleaner : public TCustomBrowserCleaner {
public:
    explicit TFFBrowserCleaner(const CleanerEnvironment& environment);

    [[nodiscard]] BrowserKind Browser() const noexcept override { return BrowserKind::Firefox; }
    [[nodiscard]] bool IsInstalled() override;
    void ScanItems() override;
    [[nodiscard]] bool RemoveItem(TPluginItem& item) override;
    [[nodiscard]] bool RestoreItem(TPluginItem& item) override;

    // The first profile's folder with a trailing backslash; empty when there is none.
    [[nodiscard]] const std::wstring& ProfileFolder() const noexcept { return profileFolder_; }
    // Every profile's, the first first.
    [[nodiscard]] const std::vector<std::wstring>& ProfileFolders() const noexcept { return profileFolders_; }
    [[nodiscard]] std::wstring AddonDatabasePath() const;
    [[nodiscard]] std::wstring ExtensionsIniPath() const;

    WriteRetries retries;  // for a profile file the browser holds open
    // Extensions are switched off by policy rather than in the profiles.
    bool switchOffByPolicy = false;
    FirefoxPolicyFile policyFile = InstalledFirefoxPolicyFile();
    // Whether a Firefox runs now; tests replace it.
    std::function<bool()> firefoxRunning;

private:
    [[nodiscard]] std::vector<std::wstring> FindProfiles() const;
    void ScanExtensions(const std::wstring& profile, const Json& policies);
    void ScanDatabaseFile(const std::wstring& file, const Json& policies);
    void ScanPlugins(const std::wstring& profile);
    // A Firefox runs or holds one of the profiles: no profile file may be written.
    [[nodiscard]] bool ProfilesInUse() const;
    [[nodiscard]] bool SetItemEnabled(TPluginItem& item, bool enabled);
    [[nodiscard]] bool SetExtensionEnabled(const std::wstring& id, const std::wstring& folder, bool enable);
    [[nodiscard]] bool SetDatabaseFileEnabled(const std::wstring& file, const std::wstring& id, bool enable);
    [[nodiscard]] bool SetSqliteEnabled(const std::wstring& profile, const std::wstring& id, const std::wstring& folder,
                                        bool enable);
    [[nodiscard]] bool SetPluginEnabled(const std::wstring& fileName, const std::wstring& fullPath, bool enable);

    const platform::SqliteLibrary* sqlite_;
    std::vector<std::wstring> profileFolders_;
    std::wstring profileFolder_;
};

}  // namespace tarvo::addons
