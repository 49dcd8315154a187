#pragma once
// Internet Explorer's add-ons: toolbars, toolbar buttons and bands, browser helper objects
// and ActiveX controls, found in the registry in both views and described by the file of
// their COM class. Removing one switches it off the way Internet Explorer's own add-on
// manager does (a per-user marker); nothing is deleted.

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "addons/browser_cleaner.h"
#include "platform/registry.h"

namespace tarvo::addons {

// The keys the cleaner reads, below their roots (no leading backslash).
inline constexpr wchar_t kIEKey[] = L"SOFTWARE\\Microsoft\\Internet Explorer";
inline constexpr wchar_t kIEToolbarKey[] = L"SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
inline constexpr wchar_t kIEExtensionsKey[] = L"SOFTWARE\\Microsoft\\Internet Explorer\\Extensions";
inline constexpr wchar_t kIEBhoKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\Browser Helper Objects";
inline constexpr wchar_t kIEDistributionUnitsKey[] = L"SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units";
inline constexpr wchar_t kIEStatsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats";
inline constexpr wchar_t kIESettingsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings";

class TIEBrowserCleaner : public TCustomBrowserCleaner {
public:
    // Where an add-on was registered.
    enum class Source : std::uint8_t { BhoOrActiveX = 0, Toolbar = 1, MachineExtension = 2, UserExtension = 3 };

    // The registration data kept with each item.
    class TIEPluginExtInfo : public PluginExtInfo {
    public:
        std::wstring ClassKey;    // "\SOFTWARE\Classes\CLSID\{…}" (ActiveX controls)
        std::wstring ServerPath;  // the class's in-process server (ActiveX controls, BHOs)
        std::vector<std::wstring> Values;       // "name=text" per string or 32-bit value of the add-on's key
        std::vector<std::uint8_t> ValueTypes;   // per line: 1 string, 2 expandable string, 3 32-bit number
        addons::TIEBrowserCleaner::Source Source = Source::BhoOrActiveX;

        // The text of the line named `name` (any case); empty when there is none.
        [[nodiscard]] std::wstring Value(const std::wstring& name) const;
    };

    explicit TIEBrowserCleaner(const CleanerEnvironment& environment);

    void ReleaseItem(TPluginItem& item) override;
    [[nodiscard]] BrowserKind Browser() const noexcept override { return BrowserKind::InternetExplorer; }
    [[nodiscard]] bool IsInstalled() override;
    [[nodiscard]] bool CanRemove(const TPluginItem& item) override;
    void DeleteBackup(const std::wstring& id) override;
    void ScanItems() override;
    [[nodiscard]] bool RemoveItem(TPluginItem& item) override;
    [[nodiscard]] bool RestoreItem(TPluginItem& item) override;

    // Lower case; filled by each scan.
    [[nodiscard]] const std::unordered_set<std::wstring>& DisabledIds() const noexcept { return disabledIds_; }

private:
    struct ResolvedClass {
        TMozilPlugFileInfo file;
        std::wstring classText;
    };
    // A COM class key's default value and its in-process server, as stored.
    struct ClassRecord {
        bool found = false;
        std::wstring text;
        std::wstring server;
    };
    // The machine's registration and the one the merged class root gives, read once each.
    struct ClassReading {
        ClassRecord machine;
        ClassRecord merged;
    };

    void LoadDisabledIds();
    [[nodiscard]] bool IsDisabled(const std::wstring& id) const;
    void ScanToolbars(platform::RegistryView view);
    void ScanExtensions(HKEY root, platform::RegistryView view);
    void ScanBHOs(platform::RegistryView view);
    void ScanActiveX(HKEY root, const std::wstring& key, bool checkStatistics, platform::RegistryView view);
    [[nodiscard]] static ClassRecord ReadClassKey(HKEY root, const std::wstring& path, platform::RegistryView view);
    void LoadUserClasses();
    [[nodiscard]] bool IsUserClass(const std::wstring& clsid, platform::RegistryView view) const;
    [[nodiscard]] ClassRecord ReadMergedClass(const std::wstring& clsid, platform::RegistryView view) const;
    [[nodiscard]] ClassReading ReadClass(const std::wstring& clsid, platform::RegistryView view) const;
    [[nodiscard]] ResolvedClass ResolveClass(const ClassRecord& merged, const std::wstring& bandClsid,
                                             bool preferProductVersion, platform::RegistryView view);
    [[nodiscard]] bool ServerExists(const std::wstring& file);
    [[nodiscard]] const TMozilPlugFileInfo& CachedFileInfo(const std::wstring& file, bool preferProductVersion);
    void Add(AddonKind kind, const std::wstring& itemId, const std::wstring& name, const std::wstring& path,
             const TMozilPlugFileInfo& file, platform::RegistryView view, std::unique_ptr<TIEPluginExtInfo> detail);
    [[nodiscard]] bool DisableAddon(const TPluginItem& item);

    const platform::SqliteLibrary* sqlite_;
    std::unordered_set<std::wstring> disabledIds_;
    // Lower case, per view: the classes the user registered, which the merged class root
    // prefers over the machine's. Any other class reads the same under both roots.
    std::unordered_set<std::wstring> userClasses_[2];
    // One scan reads each server file once, however many classes name it.
    std::map<std::pair<std::wstring, bool>, TMozilPlugFileInfo> fileInfos_;
    std::unordered_map<std::wstring, bool> serverExists_;
};

// Registry reads the passes share; each opens its own key read-only and reads empty on failure.

// The default value of HKEY_LOCAL_MACHINE "SOFTWARE\Classes\CLSID\<clsid>", trimmed.
[[nodiscard]] std::wstring IEClassNameOf(const std::wstring& clsid, platform::RegistryView view);
// The default value of the class's InprocServer32 key under HKEY_LOCAL_MACHINE, as stored.
[[nodiscard]] std::wstring IEServerPathOf(const std::wstring& clsid, platform::RegistryView view);
// Every string, expandable string and 32-bit value of the key as "name=text" lines.
void IECopyKeyValues(HKEY root, const std::wstring& key, platform::RegistryView view,
                     TIEBrowserCleaner::TIEPluginExtInfo& detail);

}  // namespace tarvo::addons
