#include "addons/addon_page.h"

#include <algorithm>

#include "addons/addon_text.h"
#include "addons/browser_process.h"
#include "addons/opera_browser_cleaner.h"
#include "language/language.h"

namespace tarvo::addons {

namespace {

using language::GetText;

std::wstring Format(const std::wstring& pattern, const std::wstring& value) {
    std::wstring text = pattern;
    if (const auto at = text.find(L"%s"); at != std::wstring::npos) text.replace(at, 2, value);
    return text;
}

std::wstring TabLabel(BrowserKind kind) {
    if (kind == BrowserKind::InternetExplorer) return L"Internet Explorer";
    std::wstring name = BrowserName(kind);
    return name.empty() ? L"Browser " + std::to_wstring(static_cast<int>(kind)) : name;
}

// Chrome leads the tabs; the other browsers follow in the cleaners' order.
int TabRank(BrowserKind kind) { return kind == BrowserKind::Chrome ? 0 : 1; }

std::wstring RatingText(const TPluginItem& item) { return std::to_wstring(item.HasRating ? item.Score : item.MyVote); }
std::wstring VoteLabel(const TPluginItem& item) {
    return item.Voted ? GetText(L"ListViewItemVoted", L"Voted") : GetText(L"ListViewItemVote", L"Vote");
}
std::wstring TrustLabel(const TPluginItem& item) {
    return item.Trust != kTrusted ? GetText(L"ListViewItemTrust", L"Trust") : GetText(L"ListViewItemUnTrust", L"UnTrust");
}

}  // namespace

std::wstring BitSuffix(const TPluginItem& item, bool is64) {
    if (!is64 || item.Browser != BrowserKind::InternetExplorer) return {};
    const std::wstring bit = GetText(L"ListViewPlugSysbit", L"bit");
    return item.SysType == 1 ? L" (64 " + bit + L") " : L" (32 " + bit + L") ";
}

TAddonPage::TAddonPage(IAddonPageView& view, IBrowserProcesses& browsers) : view_(view), browsers_(browsers) {}

TAddonPage::~TAddonPage() = default;

void TAddonPage::Prepare(std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners, const IScoreSource* scores,
                         bool is64) {
    scores_ = scores;
    is64_ = is64;
    preparing_ = true;
    if (busy_) {
        // The worker still holds the current cleaners: they are replaced once it is done.
        waiting_ = std::move(cleaners);
        refreshWaiting_ = true;
        return;
    }
    Install(std::move(cleaners));
    StartScan();
}

void TAddonPage::Install(std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners) {
    entries_.clear();
    filtered_.clear();
    visible_.clear();
    aggregate_ = TAllBrowserCleaner{};
    cleaners_ = std::move(cleaners);
    for (auto& cleaner : cleaners_) {
        cleaner->ClearItems(false);
        cleaner->ScoreDB = scores_;
        cleaner->OnOperation = [this](TCustomBrowserCleaner& from, TPluginItem* item, bool success, std::int32_t op) {
            outcomes_.push_back({item ? item->Id : std::wstring(), item ? item->Caption : std::wstring(),
                                 item ? item->Browser : from.Browser(), success, op});
        };
        aggregate_.AddCleaner(*cleaner);
    }
    BuildTabs();
    view_.RowsChanged();
}

void TAddonPage::StartScan() {
    busy_ = true;
    std::vector<TCustomBrowserCleaner*> cleaners;
    for (auto& cleaner : cleaners_) cleaners.push_back(cleaner.get());
    view_.RunWorker(IAddonPageView::Work::Scan, [cleaners] {
        // An error in one browser's scan leaves that browser and the ones after it empty
        // for this run; the scan still ends.
        try {
            for (TCustomBrowserCleaner* cleaner : cleaners) {
                cleaner->LoadMozillaPlugins();
                cleaner->Scan();
            }
        } catch (...) {
        }
    });
}

void TAddonPage::OnScanStart() {
    busy_ = true;
    if (!preparing_) return;
    visible_.clear();
    view_.RowsChanged();
    view_.ShowLoading(true);
}

void TAddonPage::OnScanDone() {
    busy_ = false;
    if (refreshWaiting_) {
        refreshWaiting_ = false;
        Install(std::move(waiting_));
        StartScan();
        return;
    }
    aggregate_.BuildMergedList();
    FillList();
    ExpandByRule();
    Publish();
    view_.ShowLoading(false);
    preparing_ = false;
}

void TAddonPage::BuildTabs() {
    tabs_.clear();
    tabs_.push_back({-1, BrowserKind::All, GetText(L"PluginTabAllBrowsers", L"All Browsers")});
    for (std::size_t i = 0; i < cleaners_.size(); ++i) {
        const BrowserKind kind = cleaners_[i]->Browser();
        if (kind == BrowserKind::All || !cleaners_[i]->IsInstalled()) continue;
        tabs_.push_back({static_cast<int>(i), kind, TabLabel(kind)});
    }
    std::stable_sort(tabs_.begin() + 1, tabs_.end(),
                     [](const PageTab& a, const PageTab& b) { return TabRank(a.browser) < TabRank(b.browser); });
    if (currentTab_ >= static_cast<int>(tabs_.size())) currentTab_ = 0;
    view_.TabsChanged();
}

TCustomBrowserCleaner* TAddonPage::CurrentCleaner() const {
    if (currentTab_ <= 0 || currentTab_ >= static_cast<int>(tabs_.size())) return nullptr;
    return cleaners_[static_cast<std::size_t>(tabs_[static_cast<std::size_t>(currentTab_)].cleaner)].get();
}

std::wstring TAddonPage::RestoreButtonText() const {
    const TCustomBrowserCleaner* cleaner = CurrentCleaner();
    if (!cleaner) return {};
    if (const auto* opera = dynamic_cast<const TOperaBrowserCleaner*>(cleaner); opera && opera->Version() > 14) return {};
    return Format(GetText(L"RestoreDefaultSettingsButton", L"Restore %s Default Settings"),
                  tabs_[static_cast<std::size_t>(currentTab_)].label);
}

void TAddonPage::Activate() { firstFill_ = false; }

void TAddonPage::ShowView(int tab) {
    if (tab < 0 || tab >= static_cast<int>(tabs_.size())) return;
    currentTab_ = tab;
    view_.TabsChanged();
    if (busy_) return;  // the rows follow when the worker is done
    if (AllBrowsersView()) aggregate_.BuildMergedList();
    FillList();
    ExpandByRule();
    Publish();
}

void TAddonPage::SetFilter(const std::wstring& text) {
    searchText_ = text;
    if (busy_) return;
    ApplyFilter();
    ExpandByRule();
    Publish();
}

void TAddonPage::ReloadScores() {
    if (busy_) return;  // a running scan rates with the database it finds loaded
    aggregate_.RescoreAll();
    FillList();
    Publish();
}

void TAddonPage::Retranslate() {
    const int tab = currentTab_;
    BuildTabs();
    currentTab_ = tab < static_cast<int>(tabs_.size()) ? tab : 0;
    if (busy_) return;
    FillList();
    Publish();
}

void TAddonPage::MakeGroups() {
    std::vector<PageGroup> groups;
    const TCustomBrowserCleaner* cleaner = CurrentCleaner();
    if (!cleaner) {
        groups.push_back({GetText(L"ListViewGroupUnTrustTitle", L"Plug-ins recommended to remove"),
                          GetText(L"ListViewGroupUnTrustDesc",
                                  L"These plug-ins with low user ratings may contain some undersirable functions."),
                          AddonKind{}});
        groups.push_back({GetText(L"ListViewGroupTrustTitle", L"Trusted plug-ins"),
                          GetText(L"ListViewGroupTrustDesc", L"These plug-ins won't harm your computer after removal. "
                                                             L"You can remove or keep them to your own needs."),
                          AddonKind{}});
    } else if (cleaner->Browser() == BrowserKind::InternetExplorer) {
        groups.push_back({GetText(L"ListViewGroupToolbar", L"Toolbar"), {}, AddonKind::Toolbar});
        groups.push_back({GetText(L"ListViewGroupBHO", L"BHO"), {}, AddonKind::BrowserHelperObject});
        groups.push_back({GetText(L"ListViewGroupActiveX", L"ActiveX"), {}, AddonKind::ActiveX});
    } else {
        groups.push_back({GetText(L"ListViewGroupExtensions", L"Extensions"), {}, AddonKind::Extension});
        groups.push_back({GetText(L"ListViewGroupPlugins", L"Plugins"), {}, AddonKind::Plugin});
    }
    // A refill of the same view keeps what the user opened and closed.
    if (groups.size() == groups_.size())
        for (std::size_t i = 0; i < groups.size(); ++i)
            if (groups[i].kind == groups_[i].kind) groups[i].expanded = groups_[i].expanded;
    groups_ = std::move(groups);
}

bool TAddonPage::CheckOf(const TPluginItem& item) const {
    const std::uint8_t state = item.ViewState[vsCheckState];
    if (AllBrowsersView()) return state == kCheckSet || (state != kCheckCleared && item.Trust != kTrusted);
    return !firstFill_ && item.ViewState[vsTouched] == 1 && state == kCheckSet;
}

void TAddonPage::StoreCheck(TPluginItem& item, bool checked) {
    item.ViewState[vsCheckState] = checked ? kCheckSet : kCheckCleared;
    if (AllBrowsersView()) {
        item.ViewState[vsCheckedAll] = checked ? 1 : 0;
    } else {
        item.ViewState[vsTouched] = 1;
        item.ViewState[vsCheckedBrowser] = checked ? 1 : 0;
    }
}

PageRow TAddonPage::RowOf(TPluginItem& item, int group) const {
    PageRow row;
    row.group = group;
    row.id = item.Id;
    row.checked = CheckOf(item);
    row.voted = item.Voted;
    const std::wstring version = Trim(item.Version);
    const std::wstring suffix = BitSuffix(item, is64_);
    row.line1 = item.Caption;
    if (!version.empty()) row.line1 += L" (" + version + L")";
    if (!AllBrowsersView()) row.line1 += suffix;
    row.line2 = item.Description.empty() ? L" " : item.Description;
    item.Name = item.Caption + suffix;
    if (AllBrowsersView())
        row.cells = {row.line1, RatingText(item), VoteLabel(item), item.Publisher, TrustLabel(item)};
    else
        row.cells = {row.line1, item.Publisher, TrustLabel(item)};
    return row;
}

void TAddonPage::FillList() {
    MakeGroups();
    entries_.clear();
    const TCustomBrowserCleaner* cleaner = CurrentCleaner();
    std::vector<TPluginItem*> candidates;
    if (cleaner) {
        for (const auto& item : cleaner->Items()) candidates.push_back(item.get());
    } else {
        for (std::int32_t i = 0; i < aggregate_.MergedCount(); ++i) candidates.push_back(aggregate_.MergedItem(i));
    }

    std::vector<std::vector<TPluginItem*>> byGroup(groups_.size());
    for (TPluginItem* item : candidates) {
        if (!item->Present) continue;
        std::size_t group = 0;
        if (!cleaner) {
            group = item->Trust == kTrusted ? 1 : 0;
        } else {
            while (group < groups_.size() && groups_[group].kind != item->Collection.AddonKind) ++group;
            if (group == groups_.size()) continue;
        }
        byGroup[group].push_back(item);
    }

    const int column = cleaner && sortColumn_ == colBrowserPublisher ? colPublisher : sortColumn_;
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        // The sort key of each row once, not once per comparison.
        std::vector<std::pair<std::wstring, TPluginItem*>> keyed;
        keyed.reserve(byGroup[g].size());
        for (TPluginItem* item : byGroup[g]) {
            std::wstring key;
            switch (column) {
                case colRating: key = RatingText(*item); break;
                case colMyRating: key = VoteLabel(*item); break;
                case colPublisher: key = CaseKey(Trim(item->Publisher)); break;
                default: key = CaseKey(Trim(item->Caption)); break;
            }
            keyed.emplace_back(std::move(key), item);
        }
        std::stable_sort(keyed.begin(), keyed.end(), [this](const auto& a, const auto& b) {
            return sortDescending_ ? b.first < a.first : a.first < b.first;
        });
        for (auto& [key, item] : keyed) {
            if (item->MergeKey.empty()) RefreshMergeKeys(*item);
            const std::size_t captionEnd = item->MergeKey.find(L'\x1');
            entries_.push_back({item, RowOf(*item, static_cast<int>(g)),
                                captionEnd == std::wstring::npos ? item->MergeKey.size() : captionEnd, true});
        }
    }
    ApplyFilter();
}

void TAddonPage::ApplyFilter() {
    // The item's case key already holds its upper-cased caption: a keystroke maps only the
    // search text, not every caption again.
    const std::wstring filter = CaseKey(searchText_);
    for (Entry& entry : entries_) {
        const std::size_t at = filter.empty() ? 0 : entry.item->MergeKey.find(filter);
        entry.shown = filter.empty() || (at != std::wstring::npos && at + filter.size() <= entry.captionLength);
        entry.item->ViewState[vsFilterState] = entry.shown ? 2 : 1;
    }
    for (auto& group : groups_) group.count = 0;
    filtered_.clear();
    headers_.assign(groups_.size(), PageRow{});
    std::size_t next = 0;
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        filtered_.push_back({static_cast<int>(g), -1});
        bool allChecked = true;
        for (; next < entries_.size() && entries_[next].row.group == static_cast<int>(g); ++next) {
            if (!entries_[next].shown) continue;
            filtered_.push_back({static_cast<int>(g), static_cast<int>(next)});
            ++groups_[g].count;
            allChecked = allChecked && entries_[next].row.checked;
        }
        PageRow& header = headers_[g];
        header.header = true;
        header.group = static_cast<int>(g);
        header.line1 = groups_[g].title + L" (" + std::to_wstring(groups_[g].count) + L")";
        header.line2 = groups_[g].subtitle;
        header.checked = groups_[g].count > 0 && allChecked;
    }
}

void TAddonPage::RefreshChecks() {
    for (Entry& entry : entries_) entry.row.checked = CheckOf(*entry.item);
    ApplyFilter();
}

void TAddonPage::ExpandByRule() {
    if (!searchText_.empty()) {
        for (auto& group : groups_) group.expanded = true;
        return;
    }
    if (AllBrowsersView() && groups_.size() == 2) {
        groups_[0].expanded = groups_[0].count > 0;
        groups_[1].expanded = !groups_[0].expanded;
        return;
    }
    bool opened = false;
    for (auto group = groups_.rbegin(); group != groups_.rend(); ++group) {
        group->expanded = !opened && group->count > 0;
        opened = opened || group->expanded;
    }
}

void TAddonPage::Publish() {
    visible_.clear();
    for (const RowRef& ref : filtered_)
        if (ref.entry < 0 || groups_[static_cast<std::size_t>(ref.group)].expanded) visible_.push_back(ref);
    view_.RowsChanged();
}

const PageRow& TAddonPage::Row(int row) const {
    const RowRef& ref = visible_.at(static_cast<std::size_t>(row));
    return ref.entry < 0 ? headers_[static_cast<std::size_t>(ref.group)] : entries_[static_cast<std::size_t>(ref.entry)].row;
}

TPluginItem* TAddonPage::ItemOf(int row) const {
    if (busy_ || row < 0 || row >= RowCount()) return nullptr;
    const RowRef& ref = visible_[static_cast<std::size_t>(row)];
    return ref.entry < 0 ? nullptr : entries_[static_cast<std::size_t>(ref.entry)].item;
}

std::vector<std::size_t> TAddonPage::GroupEntries(int row) const {
    std::vector<std::size_t> members;
    if (busy_ || row < 0 || row >= RowCount()) return members;
    const int group = visible_[static_cast<std::size_t>(row)].group;
    for (const RowRef& ref : filtered_)
        if (ref.entry >= 0 && ref.group == group) members.push_back(static_cast<std::size_t>(ref.entry));
    return members;
}

void TAddonPage::SetChecked(int row, bool checked) {
    if (busy_ || row < 0 || row >= RowCount()) return;
    if (visible_[static_cast<std::size_t>(row)].entry < 0) {
        for (const std::size_t entry : GroupEntries(row)) StoreCheck(*entries_[entry].item, checked);
    } else if (TPluginItem* item = ItemOf(row)) {
        StoreCheck(*item, checked);
    }
    RefreshChecks();
    Publish();
}

void TAddonPage::ToggleGroup(int row) {
    if (row < 0 || row >= RowCount() || visible_[static_cast<std::size_t>(row)].entry >= 0) return;
    PageGroup& group = groups_[static_cast<std::size_t>(visible_[static_cast<std::size_t>(row)].group)];
    group.expanded = !group.expanded;
    Publish();
}

void TAddonPage::SelectAllInGroup(int row) {
    if (busy_) return;
    for (const std::size_t entry : GroupEntries(row)) StoreCheck(*entries_[entry].item, true);
    RefreshChecks();
    Publish();
}

void TAddonPage::InvertGroup(int row) {
    if (busy_) return;
    for (const std::size_t entry : GroupEntries(row)) StoreCheck(*entries_[entry].item, !entries_[entry].row.checked);
    RefreshChecks();
    Publish();
}

void TAddonPage::ToggleTrust(int row) {
    TPluginItem* item = ItemOf(row);
    if (!item) return;
    outcomes_.clear();
    aggregate_.SetTrust({item->Id}, item->Trust == kTrusted ? kRecommendRemove : kTrusted);
    for (const Outcome& outcome : outcomes_)
        if (outcome.op == opTrust && outcome.success)
            for (auto& cleaner : cleaners_)
                // Its check follows the new trust, as a new row's would.
                if (TPluginItem* changed = cleaner->FindItem(outcome.id)) changed->ViewState[vsCheckState] = 0;
    outcomes_.clear();
    FillList();
    // The row moved to the other group: open it, so the row stays in sight.
    if (AllBrowsersView())
        for (auto& group : groups_) group.expanded = group.expanded || group.count > 0;
    Publish();
}

void TAddonPage::SortBy(int column, bool descending) {
    sortColumn_ = column;
    sortDescending_ = descending;
    if (busy_) return;
    FillList();
    Publish();
}

bool TAddonPage::ConfirmClosingBrowsers(const std::vector<std::set<BrowserKind>>& sets) {
    std::vector<BrowserKind> running;
    for (const auto& set : sets)
        for (const auto& cleaner : cleaners_) {
            const BrowserKind kind = cleaner->Browser();
            if (!set.contains(kind) || std::find(running.begin(), running.end(), kind) != running.end()) continue;
            if (browsers_.IsRunning(kind)) running.push_back(kind);
        }
    if (running.empty()) return true;
    std::wstring names;
    for (const BrowserKind kind : running) names += (names.empty() ? L"" : L", ") + BrowserName(kind);
    const bool one = running.size() == 1;
    const std::wstring text =
        Format(one ? GetText(L"FuncCheckBrowserMsgBox_1", L"%s is running") : GetText(L"FuncCheckBrowserMsgBox_4", L"%s are running"),
               names) +
        L"\r" +
        (one ? GetText(L"FuncCheckBrowserMsgBox_2", L"click OK to turn it off forcely (you might loss unsaved contents)")
             : GetText(L"FuncCheckBrowserMsgBox_5", L"click OK to turn them off forcely (you might loss unsaved contents)")) +
        L"\r" +
        (one ? GetText(L"FuncCheckBrowserMsgBox_3", L"click Cancel to abort the operation")
             : GetText(L"FuncCheckBrowserMsgBox_6", L"click Cancel to abort the operation"));
    if (!view_.AskOkCancel(text)) return false;
    for (const BrowserKind kind : running) browsers_.Close(kind);
    return true;
}

void TAddonPage::RemoveChecked() {
    if (busy_) return;
    std::vector<std::wstring> ids;
    std::vector<std::set<BrowserKind>> sets;
    for (const RowRef& ref : filtered_) {
        if (ref.entry < 0) continue;
        const Entry& entry = entries_[static_cast<std::size_t>(ref.entry)];
        if (!entry.row.checked) continue;
        TPluginItem* item = entry.item;
        ids.push_back(item->Id);
        sets.push_back(AllBrowsersView() ? aggregate_.BrowsersOf(*item) : std::set<BrowserKind>{item->Browser});
    }
    if (ids.empty()) {
        view_.Inform(GetText(L"FuncPluginSelectMsgBox", L"Please select plugins to remove"));
        return;
    }
    if (!view_.AskYesNo(GetText(L"FuncPluginRmoveConfireMsgBox", L"Are you sure you want to remove all selected Plugins ?")))
        return;
    if (!ConfirmClosingBrowsers(sets)) return;
    StartRemoval(ids);
}

void TAddonPage::RemoveRow(int row) {
    if (busy_) return;
    TPluginItem* item = ItemOf(row);
    if (!item) {
        view_.Inform(GetText(L"FuncPluginSelectMsgBox", L"Please select plugins to remove"));
        return;
    }
    if (!view_.AskYesNo(GetText(L"FuncPluginRmoveConfireMsgBox", L"Are you sure you want to remove all selected Plugins ?")))
        return;
    // In the all-browsers view the add-on goes from every browser that has it, so every one
    // of those must be closed, not only the first.
    if (!ConfirmClosingBrowsers({AllBrowsersView() ? aggregate_.BrowsersOf(*item) : std::set<BrowserKind>{item->Browser}}))
        return;
    StartRemoval({item->Id});
}

void TAddonPage::StartRemoval(const std::vector<std::wstring>& ids) {
    // An add-on a cleaner refuses (or never reports on) did not go: it is named as failed
    // rather than counted as removed.
    outcomes_.clear();
    requested_.clear();
    const std::vector<std::wstring> all = AllBrowsersView() ? aggregate_.ExpandTwins(ids) : ids;
    for (const auto& id : all)
        for (auto& cleaner : cleaners_)
            if (const TPluginItem* item = cleaner->FindItem(id)) requested_.push_back({id, item->Caption, item->Browser, false, opRemove});
    busy_ = true;
    TCustomBrowserCleaner* cleaner = CurrentCleaner();
    view_.RunWorker(IAddonPageView::Work::Remove, [this, cleaner, ids] {
        if (cleaner)
            cleaner->Remove(ids);
        else
            aggregate_.Remove(ids);
    });
}

void TAddonPage::OnRemoveDone() {
    busy_ = false;
    failed_.clear();
    for (const Outcome& wanted : requested_) {
        const auto done = std::find_if(outcomes_.begin(), outcomes_.end(), [&](const Outcome& outcome) {
            return outcome.op == opRemove && outcome.success && SameText(outcome.id, wanted.id);
        });
        if (done == outcomes_.end()) failed_.push_back(wanted);
    }
    outcomes_.clear();
    requested_.clear();
    aggregate_.BuildMergedList();
    FillList();
    // An emptied group gives way to one that still has rows.
    bool shownRows = false;
    for (const auto& group : groups_) shownRows = shownRows || (group.expanded && group.count > 0);
    if (!shownRows) ExpandByRule();
    Publish();
    ShowRemoveResult();
    if (refreshWaiting_) {
        refreshWaiting_ = false;
        Install(std::move(waiting_));
        StartScan();
    }
}

void TAddonPage::ShowRemoveResult() {
    if (failed_.empty()) {
        view_.Inform(GetText(L"FuncPluginRemoveSuccessMsgBox", L"Plugins removed successfully"));
        return;
    }
    std::wstring captions, browsers;
    std::vector<BrowserKind> seen;
    std::vector<std::wstring> named;
    for (const Outcome& failure : failed_) {
        // Twins share their caption: each add-on is named once.
        if (std::find(named.begin(), named.end(), failure.caption) == named.end()) {
            named.push_back(failure.caption);
            captions += (captions.empty() ? L"" : L"\r") + failure.caption;
        }
        if (std::find(seen.begin(), seen.end(), failure.browser) != seen.end()) continue;
        seen.push_back(failure.browser);
        browsers += (browsers.empty() ? L"" : L"\r") + BrowserName(failure.browser);
    }
    view_.Warn(GetText(L"FuncPluginRemoveFailedMsgBox_1", L"Failed to remove following plugins:") + L"\r\r" + captions +
               L"\r\r" + GetText(L"FuncPluginRemoveFailedMsgBox_2", L"Please exit following browsers to remove the plugins:") +
               L"\r\r" + browsers + L"\r\r" +
               GetText(L"FuncPluginRemoveFailedMsgBox_3", L"Please confirm that browsers are exited, and then try again."));
    failed_.clear();
}

TPluginItem* TAddonPage::BeginVote(int row) {
    if (busy_ || !AllBrowsersView()) return nullptr;
    TPluginItem* item = ItemOf(row);
    if (!item) {
        view_.Inform(GetText(L"FuncVotePlugSelectMsgBox", L"Please select plugins to vote"));
        return nullptr;
    }
    return item->Voted ? nullptr : item;
}

void TAddonPage::VoteRecorded() {
    if (busy_) return;
    FillList();
    Publish();
}

}  // namespace tarvo::addons
