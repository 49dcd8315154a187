#pragma once
// Firefox's add-ons, from the first profile of the user: extensions from the add-on
// database "extensions.sqlite" (read through a private copy, never the live file), plug-ins
// from "pluginreg.dat". Removing switches an add-on off in those files and in
// "extensions.ini"; nothing is deleted.

#include <string>

#include "addons/browser_cleaner.h"
#include "addons/browser_file.h"

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
    [[nodiscard]] std::wstring AddonDatabasePath() const;
    [[nodiscard]] std::wstring ExtensionsIniPath() const;

    WriteRetries retries;  // for a profile file the browser holds open

private:
    [[nodiscard]] std::wstring FindProfile() const;
    [[nodiscard]] std::wstring ProfileFile(const wchar_t* name) const;
    void ScanExtensions();
    void ScanPlugins();
    [[nodiscard]] bool SetItemEnabled(const TPluginItem& item, bool enabled);
    [[nodiscard]] bool SetExtensionEnabled(const std::wstring& id, const std::wstring& folder, bool enable);
    [[nodiscard]] bool SetPluginEnabled(const std::wstring& fileName, const std::wstring& fullPath, bool enable);

    const platform::SqliteLibrary* sqlite_;
    std::wstring profileFolder_;
};

}  // namespace tarvo::addons
