#pragma once
// Opera's add-ons, in two personalities chosen by the installed major version. Up to 12
// (Presto): widgets listed in "widgets.dat", switched in each widget's "prefs.dat", and
// plug-ins switched by the "Disabled Plugins" list of "operaprefs.ini". From 15 on the
// profile is Chromium's, scanned and switched exactly as Chrome's is. Removing switches an
// add-on off; nothing is deleted.

#include <cstdint>
#include <string>
#include <vector>

#include "addons/chrome_browser_cleaner.h"

namespace tarvo::addons {

class TOperaBrowserCleaner : public TChromeBrowserCleaner {
public:
    struct TWidgetSectInfo {
        std::wstring Id;
        std::wstring WidgetDataPath;
    };

    // The version from Opera's uninstall entry.
    explicit TOperaBrowserCleaner(const CleanerEnvironment& environment);
    // A given version, for tests and for a caller that already asked.
    TOperaBrowserCleaner(const CleanerEnvironment& environment, std::int32_t version);

    [[nodiscard]] bool IsInstalled() override;
    void ScanItems() override;
    [[nodiscard]] bool RemoveItem(TPluginItem& item) override;
    [[nodiscard]] bool RestoreItem(TPluginItem& item) override;

    [[nodiscard]] std::int32_t Version() const noexcept { return version_; }
    [[nodiscard]] bool IsPresto() const noexcept { return version_ < 15; }
    [[nodiscard]] const std::wstring& LocalProfileFolder() const noexcept { return localProfileFolder_; }
    [[nodiscard]] const std::wstring& ProfileFolder() const noexcept { return UserDataFolder(); }
    [[nodiscard]] const std::wstring& ProgramFolder() const noexcept { return programFolder_; }
    [[nodiscard]] std::wstring SettingsPath() const { return ProfileFolder() + L"operaprefs.ini"; }
    [[nodiscard]] std::wstring WidgetsFolder() const { return localProfileFolder_ + L"widgets\\"; }

    // Where IsInstalled looks for Opera's uninstall entry below HKEY_LOCAL_MACHINE.
    std::wstring uninstallKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    // Set by IsInstalled; tests may set it themselves.
    void SetProgramFolder(std::wstring folder) { programFolder_ = std::move(folder); }

    // The program folder from an uninstall entry's "DisplayIcon": the file it names, quoted
    // or not and with or without an icon index, up to its last backslash. Empty without one.
    [[nodiscard]] static std::wstring ProgramFolderFromIcon(const std::wstring& displayIcon);

private:
    void ScanWidgets();
    void ScanPrestoPlugins();
    [[nodiscard]] bool SetWidgetEnabled(const TPluginItem& item, bool enabled);
    [[nodiscard]] bool SetPrestoPluginEnabled(const TPluginItem& item, bool enabled);
    [[nodiscard]] std::vector<std::wstring> DisabledPlugins() const;

    std::int32_t version_;
    std::wstring localProfileFolder_;
    std::wstring programFolder_;
};

}  // namespace tarvo::addons
