#include "addons/all_browser_cleaner.h"

#include "addons/addon_text.h"

#include <string_view>

namespace tarvo::addons {

namespace {

// A merge key with the hash its item made once, so grouping hashes no text.
struct HashedKey {
    std::size_t hash;
    std::wstring_view text;
    bool operator==(const HashedKey& other) const noexcept { return hash == other.hash && text == other.text; }
};
struct HashedKeyHash {
    std::size_t operator()(const HashedKey& key) const noexcept { return key.hash; }
};

}  // namespace

void TAllBrowserCleaner::BuildMergedList() {
    twinMap_.clear();
    twinIndex_.clear();
    merged_.clear();

    // Items grouped by their merge key, each group in cleaner and item order: one pass to
    // group, one to write, instead of comparing every item with every other. The keys were
    // case-mapped once when the items were added; a group is a chain through the items.
    constexpr std::size_t kEnd = static_cast<std::size_t>(-1);
    std::vector<TPluginItem*> items;
    std::vector<std::size_t> groupOfItem, next;
    std::vector<std::size_t> head, tail;
    std::unordered_map<HashedKey, std::size_t, HashedKeyHash> groupOf;
    std::size_t count = 0;
    for (TCustomBrowserCleaner* cleaner : cleaners_) count += cleaner->Items().size();
    items.reserve(count);
    groupOfItem.reserve(count);
    next.reserve(count);
    groupOf.reserve(count);
    for (TCustomBrowserCleaner* cleaner : cleaners_)
        for (const auto& item : cleaner->Items()) {
            if (item->MergeKey.empty()) RefreshMergeKeys(*item);
            const auto [at, added] = groupOf.try_emplace(HashedKey{item->MergeHash, item->MergeKey}, head.size());
            const std::size_t index = items.size();
            if (added) {
                head.push_back(index);
                tail.push_back(index);
                merged_.push_back(item.get());
            } else {
                next[tail[at->second]] = index;
                tail[at->second] = index;
            }
            items.push_back(item.get());
            groupOfItem.push_back(at->second);
            next.push_back(kEnd);
        }

    for (std::size_t i = 0; i < items.size(); ++i) {
        const TPluginItem& item = *items[i];
        // A group of one has no twins, and most add-ons are in one browser only.
        const std::size_t first = head[groupOfItem[i]];
        if (next[first] == kEnd) continue;
        for (std::size_t other = first; other != kEnd; other = next[other]) {
            if (items[other]->IdKey == item.IdKey) continue;
            twinIndex_[item.IdKey].push_back(twinMap_.size());
            twinMap_.emplace_back(item.Id, items[other]->Id);
        }
    }
}

std::vector<std::wstring> TAllBrowserCleaner::TwinsOf(const std::wstring& id) const {
    std::vector<std::wstring> twins;
    const auto found = twinIndex_.find(CaseKey(id));
    if (found == twinIndex_.end()) return twins;
    for (const std::size_t line : found->second) twins.push_back(twinMap_[line].second);
    return twins;
}

std::set<BrowserKind> TAllBrowserCleaner::BrowsersOf(const TPluginItem& item) const {
    std::set<BrowserKind> browsers{item.Browser};
    for (const auto& twin : TwinsOf(item.Id))
        for (TCustomBrowserCleaner* cleaner : cleaners_)
            if (const TPluginItem* found = cleaner->FindItem(twin)) browsers.insert(found->Browser);
    return browsers;
}

std::vector<std::wstring> TAllBrowserCleaner::ExpandTwins(const std::vector<std::wstring>& ids) const {
    std::vector<std::wstring> all;
    for (const auto& id : ids) {
        all.push_back(id);
        for (auto& twin : TwinsOf(id)) all.push_back(std::move(twin));
    }
    return all;
}

void TAllBrowserCleaner::RescoreAll() {
    for (TCustomBrowserCleaner* cleaner : cleaners_) cleaner->Rescore();
}

void TAllBrowserCleaner::RecordVote(TPluginItem& item, std::int32_t stars) {
    for (TCustomBrowserCleaner* cleaner : cleaners_)
        for (const auto& own : cleaner->Items())
            if (own.get() == &item) {
                cleaner->RecordVote(item, stars);
                return;
            }
}

void TAllBrowserCleaner::SetTrust(const std::vector<std::wstring>& ids, std::uint8_t flag) {
    for (TCustomBrowserCleaner* cleaner : cleaners_) cleaner->SetTrust(ids, flag);
}

void TAllBrowserCleaner::Remove(const std::vector<std::wstring>& ids) {
    const std::vector<std::wstring> all = ExpandTwins(ids);
    try {
        for (TCustomBrowserCleaner* cleaner : cleaners_) cleaner->Remove(all);
    } catch (...) {
        if (OnRemoveDone) OnRemoveDone(*this);
        throw;
    }
    if (OnRemoveDone) OnRemoveDone(*this);
}

}  // namespace tarvo::addons
