#pragma once
// The decisions of the programs page, without a window: the current category and search,
// the rows they leave (entry indexes, in list order), the sort and its persistence, the view
// style and batch mode with its check marks. The window asks it for rows and forwards clicks.
//
// Rows are kept as indexes into the catalogue, so a new search is one pass over the entries
// in an order sorted once beforehand: a keystroke never sorts.

#include <functional>
#include <string>
#include <vector>

#include "inventory/catalogue_view.h"
#include "inventory/inventory.h"

namespace tarvo::settings {
class TMainIni;
}

namespace tarvo::inventory {

enum class TViewStyle : int { Details = 0, LargeIcons = 1 };

class TSoftwarePage {
public:
    // `entries` is the catalogue's list; it may grow, never shrink, while the page lives.
    explicit TSoftwarePage(const TSoftList& entries, std::function<TDateTime()> now = {});

    // Rebuilds the rows for the current category and search.
    void Show();
    // The rows of `category` without search. False, and nothing changes, when it is the
    // current one already. Large Programs sorts by size, largest first.
    bool SelectCategory(TCategory category);
    // Shows the current category again with `trimmedText` as search.
    void SetSearch(std::wstring trimmedText);
    [[nodiscard]] TCategory Category() const noexcept { return category_; }
    [[nodiscard]] const std::wstring& Search() const noexcept { return search_; }

    [[nodiscard]] const std::vector<std::size_t>& Rows() const noexcept { return rows_; }
    [[nodiscard]] int RowCount() const noexcept { return static_cast<int>(rows_.size()); }
    // Null for a row outside the list.
    [[nodiscard]] TSoftInfo* EntryOfRow(int row) const noexcept;
    [[nodiscard]] std::size_t EntryIndexOfRow(int row) const noexcept;
    // The row showing entry `index`; -1 when it is not shown.
    [[nodiscard]] int RowOfEntry(std::size_t index) const noexcept;

    // Sort state 0 and 1 keep the comparison, 2 reverses it.
    [[nodiscard]] int SortColumn() const noexcept { return sortColumn_; }
    [[nodiscard]] int SortState() const noexcept { return sortState_; }
    void SetSort(int column, int state);
    // A header click with the list control's new state. The "Operate" column cannot be
    // sorted: false, and the previous sort stays (the caller puts the arrow back).
    bool ClickHeader(int column, int state);
    // The analysis changed sizes or dates: the next Show sorts again, unless the rows are
    // sorted by name, which the analysis never changes (it reports every entry it measures,
    // and a keystroke during the pass would otherwise sort the whole catalogue each time).
    void SortKeysChanged() noexcept {
        if (sortColumn_ != kNameColumn) orderValid_ = false;
    }

    // "Software" section of Main.ini: ColumnIndex, SortState. A stored state other than 0, 1
    // or 2 leaves the state as it is.
    void LoadSortSettings(const settings::TMainIni& ini);
    void SaveSortSettings(const settings::TMainIni& ini) const;

    [[nodiscard]] TViewStyle ViewStyle() const noexcept { return view_; }
    // Stores the style at once; the caller shows the rows again (their captions differ).
    void SetViewStyle(TViewStyle style, const settings::TMainIni& ini);
    [[nodiscard]] bool BatchMode() const noexcept { return batch_; }
    // Flips batch mode and stores it as "Batch Uninstall".
    void ToggleBatch(const settings::TMainIni& ini);
    // View style and batch mode as Main.ini has them, without writing.
    void LoadViewSettings(const settings::TMainIni& ini);
    // View style, batch mode and sort of another page over other entries (the empty page
    // shown before the catalogue existed), without reading Main.ini again.
    void TakeSettingsOf(const TSoftwarePage& other);

    [[nodiscard]] bool IsChecked(std::size_t entryIndex) const noexcept;
    void SetChecked(std::size_t entryIndex, bool checked);
    // What "Uninstall" works on: in batch mode (unless a single uninstall is asked for) every
    // checked entry that is still shown; otherwise the selected row's entry. Empty when
    // there is nothing.
    [[nodiscard]] std::vector<TSoftInfo*> UninstallTargets(int selectedRow, bool single) const;

private:
    void EnsureOrder();
    void EnsureUpperNames();

    const TSoftList& entries_;
    std::function<TDateTime()> now_;
    TCategory category_ = TCategory::AllPrograms;
    std::wstring search_;
    std::wstring upperSearch_;
    std::vector<std::size_t> rows_;
    std::vector<int> rowOfEntry_;
    std::vector<std::size_t> order_;  // every entry, sorted; filtering keeps this order
    std::vector<std::wstring> upperNames_;
    std::vector<char> checked_;
    int sortColumn_ = kNameColumn;
    int sortState_ = 1;
    bool orderValid_ = false;
    TViewStyle view_ = TViewStyle::Details;
    bool batch_ = false;
};

}  // namespace tarvo::inventory
