#pragma once
// The browser-independent core of every add-on cleaner: the items found, how a found add-on
// joins them, its trust and score, the user's store, and the scan, trust and removal flows
// with their notifications. A browser's cleaner only finds and switches off add-ons.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "addons/cleaner_store.h"
#include "addons/file_info.h"
#include "addons/json_format.h"
#include "addons/mozilla_plugins.h"
#include "addons/plugin_item.h"
#include "addons/score_source.h"
#include "platform/sqlite_library.h"

namespace tarvo::addons {

// What a cleaner learns of its surroundings when it is made.
struct CleanerEnvironment {
    const platform::SqliteLibrary* sqlite = nullptr;  // none: no store
    bool is64 = false;                                // WOW64, i.e. 64-bit Windows
    std::wstring appDataFolder;                       // roaming application data, no trailing "\"
    std::wstring localAppDataFolder;
    std::wstring tempFolder;

    // The running user's folders and the system's bitness.
    [[nodiscard]] static CleanerEnvironment OfThisUser(const platform::SqliteLibrary* sqlite);
};

// One add-on as a browser's scan reports it to AddItem.
struct FoundAddon {
    BrowserKind browser{};
    AddonKind kind{};
    std::wstring itemId, name, description, path, publisher, version;
    bool present = true;
    std::uint8_t sysType = 0;
    std::unique_ptr<PluginExtInfo> detail;
    std::wstring id;  // empty: a new GUID
};

enum CleanerOperation : std::int32_t { opRemove = 0, opRemoveDone = 1, opTrust = 3 };

class TCustomBrowserCleaner {
public:
    using ItemList = std::vector<std::unique_ptr<TPluginItem>>;

    explicit TCustomBrowserCleaner(const CleanerEnvironment& environment);
    virtual ~TCustomBrowserCleaner();
    TCustomBrowserCleaner(const TCustomBrowserCleaner&) = delete;
    TCustomBrowserCleaner& operator=(const TCustomBrowserCleaner&) = delete;

    // What each browser provides.
    virtual void ReleaseItem(TPluginItem& item);
    // The browser this cleaner looks after; the page names its tab and groups by it. All:
    // none in particular (a stand-in), which gets no tab of its own.
    [[nodiscard]] virtual BrowserKind Browser() const noexcept { return BrowserKind::All; }
    [[nodiscard]] virtual bool IsInstalled();
    [[nodiscard]] virtual bool CanRemove(const TPluginItem& item);
    virtual void DeleteBackup(const std::wstring& id);
    virtual void ScanItems() = 0;  // AddItem for each add-on; never clears the items
    [[nodiscard]] virtual bool RemoveItem(TPluginItem& item) = 0;  // never touches the items
    [[nodiscard]] virtual bool RestoreItem(TPluginItem& item) = 0;
    // Writes the user's choice for every path of the item; false when it was not stored.
    [[nodiscard]] virtual bool SetItemTrust(TPluginItem& item, std::int32_t flag);

    // Enumerates once; afterwards replays the items found through OnItemAdded.
    void Scan();
    void ClearItems(bool scanned);
    // Joins a found add-on to an equal item (same caption, description, version and system
    // type) as one more path, or adds it as a new item. The new item, or null.
    TPluginItem* AddItem(FoundAddon found);
    void ComputeTrust(TPluginItem& item, const std::wstring& key);
    void Rescore();
    [[nodiscard]] TPluginItem* FindItem(const std::wstring& id) const;
    void SetTrust(const std::vector<std::wstring>& ids, std::uint8_t flag);
    void Remove(const std::vector<std::wstring>& ids);
    void RecordVote(TPluginItem& item, std::int32_t stars);
    // The store's file; empty when there is no data folder.
    [[nodiscard]] std::wstring StorePath() const;

    // File and registry helpers every browser uses.
    void LoadMozillaPlugins();
    [[nodiscard]] TMozilaGeneralPluginItem FindMozillaPlugin(const std::wstring& path) const;
    [[nodiscard]] TMozilPlugFileInfo FileInfo(const std::wstring& file, bool preferProductVersion) const;
    [[nodiscard]] std::wstring BackupFile(const std::wstring& subFolder, const std::wstring& file) const;
    [[nodiscard]] std::string FormatJson(const Json& value, int& depth) const;

    [[nodiscard]] const ItemList& Items() const noexcept { return items_; }
    [[nodiscard]] bool Scanned() const noexcept { return scanned_; }
    [[nodiscard]] bool StoreOpen() const noexcept { return store_.IsOpen(); }
    [[nodiscard]] bool Is64() const noexcept { return env_.is64; }
    [[nodiscard]] const std::wstring& AppDataFolder() const noexcept { return env_.appDataFolder; }
    [[nodiscard]] const std::wstring& LocalAppDataFolder() const noexcept { return env_.localAppDataFolder; }
    [[nodiscard]] const std::wstring& TempFolder() const noexcept { return env_.tempFolder; }
    [[nodiscard]] const std::wstring& StoreFolder() const noexcept { return storeFolder_; }
    [[nodiscard]] const std::vector<TMozilaGeneralPluginItem>& MozillaPlugins() const noexcept { return mozillaPlugins_; }

    const IScoreSource* ScoreDB = nullptr;  // set by the page; not owned
    std::function<void(TCustomBrowserCleaner&, TPluginItem&)> OnItemAdded;
    std::function<void(TCustomBrowserCleaner&)> OnScanBegin;
    std::function<void(TCustomBrowserCleaner&)> OnScanEnd;
    std::function<void(TCustomBrowserCleaner&, TPluginItem*, bool, std::int32_t)> OnOperation;

private:
    [[nodiscard]] UserState LoadUserState(const TPluginItem& item);
    void ForgetAddKey(const TPluginItem& item);


    CleanerEnvironment env_;
    std::wstring storeFolder_;
    bool scanned_ = false;
    CleanerStore store_;
    ItemList items_;
    // AddItem's look-up: the items in list order by a hash of their trimmed, case-mapped
    // caption, description and version and their system type, so a found add-on is compared
    // only with the items that can be equal to it rather than with every item.
    std::unordered_map<std::size_t, std::vector<TPluginItem*>> addIndex_;
    std::vector<TMozilaGeneralPluginItem> mozillaPlugins_;
};

}  // namespace tarvo::addons
