#pragma once
// Chrome's add-ons: extensions from the default profile's "Preferences", plug-ins from its
// "plugins_list", the plug-in files extensions carry, the MozillaPlugins registrations and
// Chrome's own plug-in folder. Removing switches an add-on off in "Preferences"; nothing is
// deleted.

#include <string>
#include <vector>

#include "addons/browser_cleaner.h"
#include "addons/browser_file.h"
#include "addons/kept_json.h"

namespace tarvo::addons {

class TChromeBrowserCleaner : public TCustomBrowserCleaner {
public:
    explicit TChromeBrowserCleaner(const CleanerEnvironment& environment);

    [[nodiscard]] BrowserKind Browser() const noexcept override { return browser_; }
    [[nodiscard]] bool IsInstalled() override;
    void ScanItems() override;
    [[nodiscard]] bool RemoveItem(TPluginItem& item) override;
    [[nodiscard]] bool RestoreItem(TPluginItem& item) override;

    [[nodiscard]] const std::wstring& UserDataFolder() const noexcept { return userDataFolder_; }
    [[nodiscard]] const std::wstring& ExtensionsFolder() const noexcept { return extensionsFolder_; }
    [[nodiscard]] std::wstring PreferencesPath() const { return userDataFolder_ + L"Preferences"; }
    [[nodiscard]] std::wstring PluginsFolder() const;
    [[nodiscard]] const std::vector<std::wstring>& ExtensionPluginFiles() const noexcept { return extensionPluginFiles_; }

    WriteRetries retries;  // for a Preferences file the browser holds open

protected:
    // Another Chromium browser's profile, scanned and switched as Chrome's is: its items carry
    // `browser`, and without `ownPluginFolder` Chrome's own plug-in folder is not Chrome's to list.
    TChromeBrowserCleaner(const CleanerEnvironment& environment, std::wstring userDataFolder, BrowserKind browser,
                          bool ownPluginFolder);

    // The plug-in passes over one settings file, after the extension pass has noted the
    // plug-in files its enabled extensions carry.
    void ScanPlugins(const Json* preferences);
    void NoteExtensionPluginFile(const std::wstring& file);
    void ForgetExtensionPluginFiles() noexcept { extensionPluginFiles_.clear(); }
    // The scan's parse of Preferences, kept for the switch-offs that follow it.
    [[nodiscard]] const Json* ReadPreferencesKept() { return preferences_.Read(PreferencesPath()); }

private:
    void ScanExtensions(const Json* preferences);
    [[nodiscard]] bool SetExtensionState(const TPluginItem& item, bool enabled);
    [[nodiscard]] bool SetPluginEnabled(const TPluginItem& item, bool enabled);
    [[nodiscard]] bool WriteAndKeep(Json document, const std::string& text);
    void AddPlugin(const std::wstring& itemId, const std::wstring& name, const std::wstring& description,
                   const std::wstring& path, const std::wstring& publisher, const std::wstring& version, bool present);

    std::wstring userDataFolder_;
    std::wstring extensionsFolder_;
    std::vector<std::wstring> extensionPluginFiles_;
    KeptJson preferences_;
    BrowserKind browser_ = BrowserKind::Chrome;
    bool ownPluginFolder_ = true;
};

}  // namespace tarvo::addons
