#pragma once
// The all-browsers view: every cleaner's items merged into one list, one row per distinct
// add-on, and which items of different browsers are the same add-on (twins).

#include <functional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "addons/browser_cleaner.h"

namespace tarvo::addons {

class TAllBrowserCleaner {
public:
    // Not owned; added in the order Internet Explorer, Chrome, Firefox, Opera, then the other
    // Chromium-based browsers found, as MakeBrowserCleaners makes them.
    void AddCleaner(TCustomBrowserCleaner& cleaner) { cleaners_.push_back(&cleaner); }

    // One item per caption, description and version (case-insensitive), the first in
    // cleaner order; every pair of distinct items sharing those three is a twin, both ways.
    void BuildMergedList();
    [[nodiscard]] std::int32_t MergedCount() const noexcept { return static_cast<std::int32_t>(merged_.size()); }
    [[nodiscard]] TPluginItem* MergedItem(std::int32_t index) const { return merged_.at(static_cast<std::size_t>(index)); }
    [[nodiscard]] const std::vector<std::pair<std::wstring, std::wstring>>& TwinMap() const noexcept { return twinMap_; }

    [[nodiscard]] std::vector<std::wstring> TwinsOf(const std::wstring& id) const;
    [[nodiscard]] std::set<BrowserKind> BrowsersOf(const TPluginItem& item) const;
    [[nodiscard]] std::vector<std::wstring> ExpandTwins(const std::vector<std::wstring>& ids) const;

    void RescoreAll();
    void RecordVote(TPluginItem& item, std::int32_t stars);
    // Only the items named change; their twins keep their trust.
    void SetTrust(const std::vector<std::wstring>& ids, std::uint8_t flag);
    // Removes the items named and their twins in every browser, then OnRemoveDone.
    void Remove(const std::vector<std::wstring>& ids);

    std::function<void(TAllBrowserCleaner&)> OnRemoveDone;

private:
    std::vector<TCustomBrowserCleaner*> cleaners_;
    std::vector<std::pair<std::wstring, std::wstring>> twinMap_;       // id, twin id
    std::unordered_map<std::wstring, std::vector<std::size_t>> twinIndex_;  // case key of id -> lines
    std::vector<TPluginItem*> merged_;
};

}  // namespace tarvo::addons
