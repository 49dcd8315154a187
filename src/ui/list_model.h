#pragma once
// The programs list's decisions, without a window: its columns, the data an owner supplies
// per row, the sort arrow, the header text with the row count, where a row's check box,
// icon, text lines and button go, which part of a row a point hits, and what a key does.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace tarvo::ui {

enum class ColumnKind {
    Caption,  // icon, check box in batch mode, first line and grey second line
    Text,     // one line of text
    Button,   // a button in every row ("Uninstall"); no text of its own
};

enum class SortOrder { None, Ascending, Descending };

struct ListColumn {
    // Header text; "%d" in it is replaced by the number of rows.
    std::wstring title;
    int width = 100;  // at 96 DPI
    ColumnKind kind = ColumnKind::Text;
    bool sortable = true;
    bool alignRight = false;
    std::wstring buttonText;  // Button columns
};

// What the owner tells the list about one row. The list reuses one instance for every row it
// asks about, so filling it costs no allocation once the strings have grown.
struct ListRowData {
    std::wstring caption;       // first line: the name
    std::wstring detail;        // second line in the details view: the publisher
    int icon = -1;              // index into the owner's image lists; -1 for none
    bool checked = false;       // batch mode
    std::vector<std::wstring> cells;  // text of each column by index; Caption and Button ignored
    std::wstring buttonText;  // this row's button caption; empty: the column's
    bool noButton = false;    // a row without a button (a group's heading row)

    void Clear(size_t columns);
};

// The owner of a list: supplies rows by index and hears about what the user does. Every
// callback runs on the UI thread from inside the list's message handling.
class ListDataSource {
public:
    virtual ~ListDataSource() = default;
    virtual void GetRow(int row, ListRowData& data) = 0;
    // Enter or a double click on a row.
    virtual void OnActivate(int /*row*/) {}
    // The row's button was clicked.
    virtual void OnRowButton(int /*row*/) {}
    // The user set a row's check box (click, or Space on the selected rows).
    virtual void OnCheck(int /*row*/, bool /*checked*/) {}
    virtual void OnDelete(int /*row*/) {}
    // A header click changed the sort; the owner re-orders its rows and refreshes.
    virtual void OnSort(int /*column*/, SortOrder /*order*/) {}
    virtual void OnSelectionChanged() {}
    // Right click on a row (-1: on empty space), at a screen point.
    virtual void OnContextMenu(int /*row*/, POINT /*screen*/) {}
};

// Which column shows a sort arrow, and how a header click changes it.
class SortIndicator {
public:
    void Set(int column, SortOrder order) noexcept;
    // A sortable column becomes the sort column, ascending first and reversing on the next
    // click; a column that cannot be sorted leaves the previous sort as it was. True when the
    // sort changed.
    bool Click(int column, bool sortable) noexcept;
    [[nodiscard]] int column() const noexcept { return column_; }
    [[nodiscard]] SortOrder order() const noexcept { return order_; }
    [[nodiscard]] SortOrder OrderOf(int column) const noexcept {
        return column == column_ ? order_ : SortOrder::None;
    }

private:
    int column_ = -1;
    SortOrder order_ = SortOrder::None;
};

// The header text: "%d" replaced by the count; other text kept as it is.
[[nodiscard]] std::wstring HeaderTextWithCount(std::wstring_view pattern, int count);

enum class ListViewStyle { Details, LargeIcons };

struct ListMetrics {
    int rowHeight;
    int padding;      // left and right inside a cell
    int iconSize;     // as the owner's image list has it
    int iconGap;      // between check box, icon and text
    int checkSize;
    int lineGap;      // between the two lines of a caption
    int buttonWidth;
    int buttonHeight;
    int headerHeight;
    int lineHeight;        // of the first line's font
    int detailLineHeight;  // of the second line's font
};
// Rows are high enough for the icon and, with two lines, for both lines of text.
[[nodiscard]] ListMetrics ListMetricsFor(int dpi, int iconSize, int lineHeight, int detailLineHeight, bool twoLines) noexcept;

struct CaptionLayout {
    RECT check;   // empty without check boxes
    RECT icon;
    RECT first;   // the name line
    RECT second;  // the publisher line; empty with one line
};
[[nodiscard]] CaptionLayout LayOutCaption(const RECT& cell, const ListMetrics& m, bool withCheck, bool twoLines) noexcept;
// The row button, centred in its cell and never wider than the cell.
[[nodiscard]] RECT RowButtonRect(const RECT& cell, const ListMetrics& m) noexcept;

enum class RowPart { None, CheckBox, Button, Row };
// What a point in a row hits: the check box (only with check boxes shown), the row button, or
// the row itself. `caption` and `button` are the cells of the caption and button columns
// (empty when the list has no such column).
[[nodiscard]] RowPart HitRowPart(POINT point, const RECT& caption, const RECT& button, const ListMetrics& m,
                                 bool withCheck, bool twoLines) noexcept;

enum class ListKeyAction { None, Activate, ToggleCheck, Delete };
// Keys the list handles beyond the list control's own (arrows, Home, End, Page keys).
[[nodiscard]] ListKeyAction KeyActionFor(UINT virtualKey, bool checksShown, bool ctrl, bool alt) noexcept;

// Space on several selected rows: checks them all unless all are checked already, as
// Explorer does, so one key press never leaves a mixed selection.
[[nodiscard]] bool CheckStateAfterToggle(const std::vector<bool>& current) noexcept;

// Column widths for a list `available` pixels wide: the caption column takes what the others
// leave, never less than its own width.
[[nodiscard]] std::vector<int> FitCaptionColumn(std::vector<int> widths, int captionColumn, int available);

// The first visible row after the count changed: the same row where it still exists, pulled
// back so that the last page stays full.
[[nodiscard]] int TopRowAfterRefill(int oldTop, int newCount, int rowsPerPage) noexcept;

}  // namespace tarvo::ui
