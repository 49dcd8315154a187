#include "addons/all_browser_cleaner.h"

#include "addons/addon_text.h"

namespace tarvo::addons {

void TAllBrowserCleaner::BuildMergedList() {
    twinMap_.clear();
    twinIndex_.clear();
    merged_.clear();

    // Items grouped by their case key, each group in cleaner and item order: one pass to
    // group, one to write, instead of comparing every item with every other.
    struct Entry {
        TPluginItem* item;
        std::wstring idKey;
    };
    struct Placed {
        TPluginItem* item;
        std::size_t group;
        std::wstring idKey;
    };
    std::vector<Placed> order;
    std::unordered_map<std::wstring, std::size_t> groupOf;
    std::vector<std::vector<Entry>> groups;
    for (TCustomBrowserCleaner* cleaner : cleaners_)
        for (const auto& item : cleaner->Items()) {
            // One case mapping per item for the three texts together: it is most of the cost.
            std::wstring key = CaseKey(item->Caption + L'\x1' + item->Description + L'\x1' + item->Version);
            const auto [at, added] = groupOf.try_emplace(std::move(key), groups.size());
            if (added) {
                groups.emplace_back();
                merged_.push_back(item.get());
            }
            std::wstring idKey = CaseKey(item->Id);
            groups[at->second].push_back({item.get(), idKey});
            order.push_back({item.get(), at->second, std::move(idKey)});
        }

    for (const auto& [item, group, idKey] : order) {
        for (const Entry& other : groups[group]) {
            if (other.idKey == idKey) continue;
            twinIndex_[idKey].push_back(twinMap_.size());
            twinMap_.emplace_back(item->Id, other.item->Id);
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
