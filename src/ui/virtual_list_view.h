#pragma once
// The programs list: a list-view control in owner-data mode, so that it holds no rows of its
// own. The owner (a ListDataSource) says how many rows there are and answers for one row at
// a time; re-filtering is a new count and a repaint, whatever the number of rows.
//
// We draw rows, items and the header ourselves: a two-line caption (name, and the publisher
// in grey below it), the row's icon, a check box in batch mode, and a button in every row.

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ui/gdi.h"
#include "ui/hot_tracker.h"
#include "ui/list_model.h"
#include "ui/list_paint.h"
#include "ui/window_base.h"

namespace tarvo::ui {

class VirtualListView final : public WindowBase {
public:
    static constexpr const wchar_t* kClassName = L"TarvoListHost";
    static constexpr int kListId = 1;

    VirtualListView() = default;
    ~VirtualListView() override;

    // `source` must outlive the list.
    bool Create(HWND parent, int id, const RECT& bounds, std::vector<ListColumn> columns, ListDataSource& source,
                int dpi);

    // New number of rows. With keepPosition the first visible row stays where it was (pulled
    // back only as far as the new count needs) and selected rows below the new count are
    // dropped; without, the list shows its top.
    void SetRowCount(int count, bool keepPosition = true);
    [[nodiscard]] int RowCount() const noexcept { return rowCount_; }

    void SetViewStyle(ListViewStyle style);
    [[nodiscard]] ListViewStyle viewStyle() const noexcept { return view_; }
    void SetCheckBoxes(bool shown);
    [[nodiscard]] bool checkBoxes() const noexcept { return checks_; }
    // The owner's icons for the details rows and for the large-icon view; borrowed, the
    // owner destroys them after the list.
    void SetImageLists(HIMAGELIST rowIcons, HIMAGELIST largeIcons);
    // A column's header text; "%d" shows the row count.
    void SetColumnTitle(int column, std::wstring title);
    void SetButtonText(int column, std::wstring text);
    // Shows a sort arrow without telling the owner (it restored its saved sort itself).
    void SetSort(int column, SortOrder order);
    [[nodiscard]] const SortIndicator& sort() const noexcept { return sort_; }

    [[nodiscard]] int SelectedRow() const;  // the focused selected row, or the first selected; -1
    [[nodiscard]] std::vector<int> SelectedRows() const;
    // Selects only `row`, focuses it and scrolls it into view; -1 clears the selection.
    void SelectRow(int row);
    [[nodiscard]] int TopRow() const;
    void ScrollToTop(int row);
    void RedrawRow(int row);
    void RedrawAll();

    void SetDpi(int dpi);
    void Move(const RECT& bounds);
    void Focus();

    [[nodiscard]] HWND list() const noexcept { return list_; }
    [[nodiscard]] HWND header() const noexcept { return header_; }
    [[nodiscard]] const ListMetrics& metrics() const noexcept { return metrics_; }
    [[nodiscard]] int hotButtonRow() const noexcept { return buttons_.hot(); }
    [[nodiscard]] const std::vector<ListColumn>& columns() const noexcept { return columns_; }

protected:
    std::optional<LRESULT> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnNotify(const NMHDR& header) override;
    void OnSize(UINT type, int width, int height) override;

private:
    static LRESULT CALLBACK ListProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    static LRESULT CALLBACK HeaderProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR) noexcept;
    LRESULT OnListMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT OnHeaderMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // True when the list control's own handling must not see the event.
    bool OnListMouse(const MouseEvent& event);
    void OnHeaderMouse(const MouseEvent& event);
    LRESULT ListNotify(NMHDR* header);
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw);
    void OnGetDispInfo(NMLVDISPINFOW* info);
    int FindRow(const NMLVFINDITEMW* find);

    void ApplyMetrics();
    void FitColumns();
    void UpdateHeaderTexts();
    void PaintHeaderNow(HDC dc);
    // Cells of a row in client coordinates, by column.
    [[nodiscard]] std::vector<RECT> CellsOf(int row) const;
    [[nodiscard]] int CaptionColumn() const noexcept;
    [[nodiscard]] int ButtonColumn() const noexcept;
    [[nodiscard]] int RowAt(POINT point) const;
    // The top-left corner of a row's bounds in list coordinates.
    [[nodiscard]] POINT RowOrigin(int row) const;
    [[nodiscard]] RowPart PartAt(POINT point, int row) const;
    void ToggleChecks();
    void SetHotRow(int row);
    ListRowData& Row(int row);

    ListDataSource* source_ = nullptr;
    std::vector<ListColumn> columns_;
    std::vector<std::wstring> headerTexts_;  // what the header control holds now
    HWND list_ = nullptr;    // children, destroyed with this window
    HWND header_ = nullptr;
    unique_himagelist spacer_;  // ours: only sets the row height
    HIMAGELIST rowIcons_ = nullptr;
    HIMAGELIST largeIcons_ = nullptr;
    SortIndicator sort_;
    ListRowData scratch_;
    ListMetrics metrics_{};
    ListViewStyle view_ = ListViewStyle::Details;
    HotTracker buttons_;       // row buttons, by row
    // How far pressing a partly hidden row's button scrolled it into view: the release is
    // judged where the button was when it was pressed, so that first click still counts.
    POINT pressShift_{};
    HotTracker headerItems_;   // header items, by column
    int hotRow_ = -1;
    int rowCount_ = 0;
    int dpi_ = 96;
    bool checks_ = false;
    LeaveNotice listLeave_;
    LeaveNotice headerLeave_;
};

}  // namespace tarvo::ui
