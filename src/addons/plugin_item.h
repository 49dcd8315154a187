#pragma once
// One add-on as a browser cleaner found it, with the user's and the database's verdict.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "addons/addon_types.h"

namespace tarvo::addons {

// Browser-specific detail a cleaner hangs on its items (Internet Explorer's registration
// data); the cleaner that made it releases it.
class PluginExtInfo {
public:
    virtual ~PluginExtInfo() = default;
};

struct TPluginCollection {
    addons::AddonKind AddonKind{};  // 0 until the item is filled
};

// Trust codes.
inline constexpr std::uint8_t kTrusted = 1;
inline constexpr std::uint8_t kRecommendRemove = 2;

struct TPluginItem {
    std::wstring Id;      // unique within the run: a braced GUID or the caller's id
    std::wstring ItemId;  // the browser's own identifier (CLSID, extension id, plug-in path)
    BrowserKind Browser{};
    TPluginCollection Collection;
    std::wstring Caption;
    std::wstring Name;  // as found, without "&"; the page later shows its own caption here
    std::wstring Description;
    std::wstring Publisher;
    std::wstring Version;  // "," written as "."
    std::uint8_t Trust = kRecommendRemove;
    bool HasRating = false;  // the score came from the score database
    bool Voted = false;
    std::vector<std::wstring> Paths;  // the first is the main one
    std::int32_t Score = 0;
    std::int32_t MyVote = 0;
    bool Present = true;
    // Switched off by a browser policy (ours or an administrator's): listed with that note
    // (text "ListViewPlugBlockedByPolicy"), since the add-on is still installed.
    bool BlockedByPolicy = false;
    std::uint8_t SysType = 0;  // 1: found through the 64-bit registry view
    std::unique_ptr<PluginExtInfo> ExtInfo;
    std::array<std::uint8_t, 5> ViewState{};  // the page's list state
    std::int32_t SortIndex = 0;
    bool SortBlank = false;
    // Case keys the all-browsers merge groups and pairs by: the upper-cased Caption,
    // Description and Version, and the upper-cased Id. AddItem sets them; whoever changes
    // one of those texts afterwards calls RefreshMergeKeys. Empty: not computed yet.
    std::wstring MergeKey;
    std::wstring IdKey;
    std::size_t MergeHash = 0;  // hashes of MergeKey and IdKey, set with them
    std::size_t IdHash = 0;
    // AddItem's hash of the trimmed, case-mapped Caption, Description and Version and of
    // SysType: those four are not changed once the item is in a cleaner's list.
    std::size_t AddKey = 0;
};

// Computes MergeKey and IdKey from the item's texts: one case mapping per item, done once
// rather than on every merge.
void RefreshMergeKeys(TPluginItem& item);

}  // namespace tarvo::addons
