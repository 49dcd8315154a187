#pragma once
// The scanner of one leftover scan: what it scans, the needle its rules search for, the
// findings so far, and the primitives every rule reports through. The primitives are also
// where the scan's safety rules hold: no root or shared key, no drive root, system folder or
// folder above the program's own, nothing reached through a junction.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "inventory/soft_info.h"
#include "leftovers/exclusion.h"
#include "leftovers/maker_table.h"
#include "leftovers/program_ownership.h"
#include "leftovers/result_tree.h"
#include "leftovers/scan_records.h"
#include "platform/registry.h"

namespace tarvo::leftovers {

// Something a rule found that the scan's guards kept out of the findings, and why.
struct TScanRefusal {
    std::wstring item;  // a path, or a registry item's text
    std::wstring reason;
};

// How a scan is run. Every member has a working default.
struct ScanOptions {
    // Runs between enumerated keys, values and files so the caller's window stays live.
    std::function<void()> pump;
    // The catalogue's small images, where the program node's icon comes from.
    const CatalogueImages* catalogueImages = nullptr;
    // Seams for tests; null means the system's own.
    const TReservedFolders* reservedFolders = nullptr;
    const TFileterManage* makerTable = nullptr;
    std::function<DWORD(const std::wstring&)> attributesOf;
    // The catalogue's programs: what lies in another program's folder, or points into it, is
    // never offered. None: no program but the scanned one is known.
    const std::vector<inventory::TProgramPlace>* catalogue = nullptr;
    // The entry stands for a bare folder the user chose (the scan driver sets it).
    bool bareFolder = false;
    // Receives what the guards kept out, once each (the console prints it).
    std::vector<TScanRefusal>* refusals = nullptr;
};

// The name sets the registry rules share for de-duplication; every other rule asks for a
// set of its own by name.
struct TRuleSets {
    TRuleSet ClassIds, ClassIdsRoot, ClassIdsUser;
    TRuleSet AppIds, AppIdsRoot;
    TRuleSet TypeLibs, TypeLibsRoot;
    TRuleSet ProgIds, ProgIdsRoot;
    TRuleSet UserClasses;
    TRuleSet Interfaces, InterfacesRoot;

    TRuleSet& Own(const std::wstring& ruleName) { return own_[ruleName]; }

private:
    std::map<std::wstring, TRuleSet> own_;
};

// Lower-case paths a file rule run never reports again; a trailing backslash does not
// make a path different.
class TVisitedSet {
public:
    bool Add(const std::wstring& path);  // false when it was there already
    [[nodiscard]] bool Contains(const std::wstring& path) const;

private:
    [[nodiscard]] static std::wstring Form(const std::wstring& path);
    std::set<std::wstring> paths_;
};

// An open key together with the root and path it was opened at, which findings name.
struct TScanKey {
    platform::RegistryKey Key;
    HKEY Root = nullptr;
    std::wstring Path;  // no leading backslash
};

// The install folder a scan searches for: trimmed, lower case, with a trailing backslash;
// the folder of the location when it names a file; empty when it is a reserved folder, a
// volume root, above a reserved folder or not an absolute path.
// The folder a location names: itself, or the folder of the file it names (some entries give
// their main file). Trimmed, in the case given.
[[nodiscard]] std::wstring LocationFolder(const std::wstring& installLocation);

[[nodiscard]] std::wstring DeriveFolderKey(const std::wstring& installLocation, const TReservedFolders& reserved);

class TRegeditScanClasses {
public:
    TRegeditScanClasses(const inventory::TSoftInfo& entry, TreeImages& images, const ScanOptions& options = {});
    TRegeditScanClasses(const TRegeditScanClasses&) = delete;
    TRegeditScanClasses& operator=(const TRegeditScanClasses&) = delete;

    inventory::TSoftInfo Entry;
    std::wstring FolderKey;
    std::wstring EntryKeyPath;
    std::wstring EntryRootName;
    std::vector<TShowRegInfo> RegResults;
    std::vector<TFileInfo> FileResults;
    TRuleSets Sets;
    std::vector<std::wstring> MsiComponentFolders;

    [[nodiscard]] const TReservedFolders& Reserved() const noexcept { return *reserved_; }
    [[nodiscard]] const TFileterManage& Makers() const noexcept { return *makers_; }
    [[nodiscard]] TreeImages& Images() noexcept { return images_; }
    // The entry's view, or the one a rule has switched to for a while.
    [[nodiscard]] platform::RegistryView View() const noexcept;
    void OverrideView(std::optional<platform::RegistryView> view) noexcept { viewOverride_ = view; }
    [[nodiscard]] std::optional<platform::RegistryView> ViewOverride() const noexcept { return viewOverride_; }
    void Pump() const;

    // Text contains FolderKey; never with an empty FolderKey.
    [[nodiscard]] bool ContainsFolder(const std::wstring& text) const;

    // Read-only, in the entry's registry view. A leading backslash in the path is dropped.
    [[nodiscard]] bool OpenKey(TScanKey& key, HKEY root, const std::wstring& keyPath) const;

    // Reports the key and everything below it, once per rule set: the key, then depth first
    // each subkey with its own content, then the key's values.
    void ReportKey(TRuleSet& set, HKEY root, const std::wstring& name, const std::wstring& keyPath);
    // ReportKey for the scanned entry's own uninstall key: it is the program's whatever its
    // values name, even a folder it shares with another program.
    void ReportEntryKey(TRuleSet& set, HKEY root, const std::wstring& name, const std::wstring& keyPath);
    // Reports one value of an open key, unless both its name and its text are empty.
    void ReportValue(const TScanKey& key, const std::wstring& valueName, TRegeditItemGroup* group);
    // A key finding without opening the key (it may not exist). False when refused.
    bool AddKeyFinding(HKEY root, const std::wstring& keyPath);
    // A file finding with the shell's small icon for its type. False when refused.
    bool ReportPath(const std::wstring& path, PathKind kind, std::int64_t size);
    // Reports a folder's whole content, each subfolder before what it holds; names starting
    // with "." are skipped; a junction or other link is reported as itself, never entered.
    void ListFolder(const std::wstring& folder, TVisitedSet& visited);

    // The guard ReportPath applies; rules may ask before walking.
    [[nodiscard]] bool IsOfferablePath(const std::wstring& path) const { return PathRefusal(path).empty(); }
    // Empty when the path may be offered; otherwise why not.
    [[nodiscard]] std::wstring PathRefusal(const std::wstring& path) const { return Refusal(path, false); }
    // A folder whose content may be listed: one that holds another program's folder is not
    // offered itself, but what else lies in it may be (the listing skips the other's folder).
    [[nodiscard]] bool IsListableFolder(const std::wstring& path) const { return Refusal(path, true).empty(); }
    [[nodiscard]] const TProgramOwnership& Ownership() const noexcept { return ownership_; }
    // The catalogue's programs, when the caller gave them.
    [[nodiscard]] const std::vector<inventory::TProgramPlace>* Catalogue() const noexcept { return options_.catalogue; }
    [[nodiscard]] DWORD AttributesOf(const std::wstring& path) const;
    // The attributes a folder listing gave for an entry (the test seam's when one is set):
    // unlike a lookup by path, they tell a link from its target everywhere.
    [[nodiscard]] DWORD ListedAttributes(const std::wstring& path, DWORD listed) const;

private:
    [[nodiscard]] bool UnderForeignLink(const std::wstring& path) const;
    [[nodiscard]] std::wstring Refusal(const std::wstring& path, bool listing) const;
    void Refuse(const std::wstring& item, const std::wstring& reason);

    TreeImages& images_;
    ScanOptions options_;
    std::optional<TReservedFolders> ownReserved_;
    const TReservedFolders* reserved_;
    const TFileterManage* makers_;
    std::wstring guardFolder_;  // the install folder before the reserved test, in FolderForm
    std::wstring windowsFolder_, systemFolder_;
    mutable std::map<std::wstring, bool> linkCache_;
    std::optional<platform::RegistryView> viewOverride_;
    TProgramOwnership ownership_;
    int keyDepth_ = 0;         // ReportKey calls under way
    bool keyForeign_ = false;  // a value below the outermost of them points into another program
    bool entryKey_ = false;    // ReportEntryKey is under way
    std::set<std::wstring> refused_;
};

}  // namespace tarvo::leftovers
