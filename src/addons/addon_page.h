#pragma once
// The add-on page's decisions, without a window: which browsers get a tab, the rows of the
// all-browsers view (grouped by trust) and of one browser's view (grouped by kind), the
// search filter, the check boxes, trust toggles, and removal with running browsers closed on
// request. The page window forwards events here and shows the rows it is given.
//
// The rows are copies of the texts they show, so the window can paint them while a worker
// thread scans or removes (a removal frees the items it removed). Commands that touch the
// items are refused while a worker runs.

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "addons/all_browser_cleaner.h"
#include "addons/browser_cleaner.h"

namespace tarvo::addons {

// The page's bytes of TPluginItem::ViewState.
enum ViewStateByte : std::size_t { vsCheckState = 0, vsTouched = 1, vsCheckedAll = 2, vsCheckedBrowser = 3, vsFilterState = 4 };
inline constexpr std::uint8_t kCheckSet = 2;
inline constexpr std::uint8_t kCheckCleared = 3;

// What the page asks of its window (and tests answer with a recording fake).
class IAddonPageView {
public:
    enum class Work { Scan, Remove };
    virtual ~IAddonPageView() = default;
    virtual void RowsChanged() = 0;  // new rows, groups or checks: recount and repaint
    virtual void TabsChanged() = 0;  // the tabs, the current tab or the restore button
    virtual void ShowLoading(bool shown) = 0;
    virtual void Inform(const std::wstring& text) = 0;
    virtual void Warn(const std::wstring& text) = 0;
    [[nodiscard]] virtual bool AskYesNo(const std::wstring& text) = 0;
    [[nodiscard]] virtual bool AskOkCancel(const std::wstring& text) = 0;
    // Runs `work` off the user-interface thread; a scan then reaches OnScanStart and
    // OnScanDone, a removal OnRemoveDone, on the user-interface thread.
    virtual void RunWorker(Work kind, std::function<void()> work) = 0;
};

// Running browsers, as the page asks about them before a removal.
class IBrowserProcesses {
public:
    virtual ~IBrowserProcesses() = default;
    [[nodiscard]] virtual bool IsRunning(BrowserKind kind) = 0;
    // Ends the browser and gives it a moment to let go of its files.
    virtual void Close(BrowserKind kind) = 0;
};

struct PageTab {
    int cleaner = -1;  // index into the cleaners; -1: all browsers
    BrowserKind browser = BrowserKind::All;
    std::wstring label;
};

struct PageGroup {
    std::wstring title, subtitle;
    AddonKind kind{};  // one browser's view
    bool expanded = false;
    int count = 0;
};

struct PageRow {
    bool header = false;
    int group = 0;
    bool checked = false;
    std::wstring id;  // the item's; empty for a group header
    std::wstring line1, line2;
    std::vector<std::wstring> cells;  // by column; the all-browsers view has five, one browser's three
    bool voted = false;
};

class TAddonPage {
public:
    // Column of the views' cells.
    enum AllColumn { colName = 0, colRating, colMyRating, colPublisher, colOperation };
    enum BrowserColumn { colBrowserName = 0, colBrowserPublisher, colBrowserOperation };

    TAddonPage(IAddonPageView& view, IBrowserProcesses& browsers);
    ~TAddonPage();
    TAddonPage(const TAddonPage&) = delete;
    TAddonPage& operator=(const TAddonPage&) = delete;

    // Takes the cleaners (in the all-browsers order) and starts their enumeration. A scan
    // already running is left to end first: the new cleaners are put in place then.
    void Prepare(std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners, const IScoreSource* scores, bool is64);
    void OnScanStart();
    void OnScanDone();
    void OnRemoveDone();
    [[nodiscard]] bool Busy() const noexcept { return busy_; }

    // The page was shown for the first time: per-browser rows start unchecked until then.
    void Activate();
    void ShowView(int tab);
    void SetFilter(const std::wstring& text);
    void ReloadScores();  // the score database was loaded again
    // The rows of the current view are rebuilt from the texts now in the language file.
    void Retranslate();

    [[nodiscard]] const std::vector<PageTab>& Tabs() const noexcept { return tabs_; }
    [[nodiscard]] int CurrentTab() const noexcept { return currentTab_; }
    [[nodiscard]] bool AllBrowsersView() const noexcept { return CurrentCleaner() == nullptr; }
    [[nodiscard]] const std::vector<PageGroup>& Groups() const noexcept { return groups_; }
    // The rows shown: group headings and the rows of open groups.
    [[nodiscard]] int RowCount() const noexcept { return static_cast<int>(visible_.size()); }
    [[nodiscard]] const PageRow& Row(int row) const;
    // "Restore <browser> Default Settings", or empty when the button is hidden.
    [[nodiscard]] std::wstring RestoreButtonText() const;

    // A click on a row's check box, or on a group header's (all rows of the group).
    void SetChecked(int row, bool checked);
    // A group header row was activated: it opens or closes.
    void ToggleGroup(int row);
    void SelectAllInGroup(int row);
    void InvertGroup(int row);
    void ToggleTrust(int row);
    void SortBy(int column, bool descending);

    void RemoveChecked();
    void RemoveRow(int row);
    // The item behind a row the user may vote on (all-browsers view, not yet voted); null
    // otherwise, after telling the user when the row is no add-on.
    [[nodiscard]] TPluginItem* BeginVote(int row);
    [[nodiscard]] TAllBrowserCleaner& Aggregate() noexcept { return aggregate_; }
    // The vote window stored a vote for the item.
    void VoteRecorded();

    [[nodiscard]] const std::vector<std::unique_ptr<TCustomBrowserCleaner>>& Cleaners() const noexcept { return cleaners_; }

private:
    struct Outcome {
        std::wstring id, caption;
        BrowserKind browser{};
        bool success = false;
        std::int32_t op = 0;
    };

    void Install(std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners);
    void StartScan();
    void BuildTabs();
    [[nodiscard]] TCustomBrowserCleaner* CurrentCleaner() const;
    // Every add-on of the view grouped, sorted and made into its row: once per change of
    // view, sort or content. A keystroke only filters these (ApplyFilter).
    void FillList();
    void ApplyFilter();
    void RefreshChecks();
    void MakeGroups();
    void ExpandByRule();
    void Publish();
    [[nodiscard]] PageRow RowOf(TPluginItem& item, int group) const;
    [[nodiscard]] bool CheckOf(const TPluginItem& item) const;
    void StoreCheck(TPluginItem& item, bool checked);
    [[nodiscard]] TPluginItem* ItemOf(int row) const;
    // The entries of the group of a shown row that pass the search.
    [[nodiscard]] std::vector<std::size_t> GroupEntries(int row) const;
    [[nodiscard]] bool ConfirmClosingBrowsers(const std::vector<std::set<BrowserKind>>& sets);
    void StartRemoval(const std::vector<std::wstring>& ids);
    void ShowRemoveResult();

    IAddonPageView& view_;
    IBrowserProcesses& browsers_;
    std::vector<std::unique_ptr<TCustomBrowserCleaner>> cleaners_;
    std::vector<std::unique_ptr<TCustomBrowserCleaner>> waiting_;  // for the running scan to end
    bool refreshWaiting_ = false;
    TAllBrowserCleaner aggregate_;
    const IScoreSource* scores_ = nullptr;
    bool is64_ = false;
    bool busy_ = false;
    bool preparing_ = false;
    bool firstFill_ = true;
    std::wstring searchText_;
    std::vector<PageTab> tabs_;
    int currentTab_ = 0;
    std::vector<PageGroup> groups_;
    struct Entry {
        TPluginItem* item = nullptr;
        PageRow row;
        std::size_t captionLength = 0;  // of the caption at the start of the item's MergeKey
        bool shown = true;              // passes the search
    };
    // A row: a group heading (entry < 0) or an entry.
    struct RowRef {
        int group = 0;
        int entry = -1;
    };
    std::vector<Entry> entries_;  // grouped, each group sorted
    std::vector<PageRow> headers_;  // by group
    std::vector<RowRef> filtered_;  // headings and the entries that pass the search
    std::vector<RowRef> visible_;   // of those, what open groups show
    int sortColumn_ = 0;
    bool sortDescending_ = false;
    std::vector<Outcome> outcomes_;  // written by the operation callbacks
    std::vector<Outcome> requested_;  // what the running removal was asked to remove
    std::vector<Outcome> failed_;
};

// "(64 bit) " style suffix of an Internet Explorer item on 64-bit Windows; empty elsewhere.
[[nodiscard]] std::wstring BitSuffix(const TPluginItem& item, bool is64);

}  // namespace tarvo::addons
