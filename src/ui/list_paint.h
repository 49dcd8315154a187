#pragma once
// Drawing of the programs list: rows of the details view, items of the large-icon view, the
// column header, and the check box. Each takes a DC, a rectangle, the state and the DPI.

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ui/hot_tracker.h"
#include "ui/list_model.h"

namespace tarvo::ui {

struct ListFonts {
    HFONT body;
    HFONT emphasis;
    HFONT small;
};

struct RowState {
    bool selected = false;
    bool listFocused = true;  // selection is drawn paler while the list has no focus
    bool hot = false;         // mouse over the row
    bool checksShown = false;
    bool twoLines = true;
    VisualState button;       // the row button's look
};

void PaintCheckBox(HDC dc, const RECT& box, bool checked, bool hot, int dpi) noexcept;

// One row of the details view. `cells` are the rectangles of the columns in display order of
// `columns`; `icons` may be null.
void PaintDetailsRow(HDC dc, const RECT& row, const std::vector<RECT>& cells, const std::vector<ListColumn>& columns,
                     const ListRowData& data, const RowState& state, const ListMetrics& metrics,
                     const ListFonts& fonts, HIMAGELIST icons, int dpi) noexcept;

// One item of the large-icon view.
void PaintIconItem(HDC dc, const RECT& item, const ListRowData& data, const RowState& state, const ListFonts& fonts,
                   HIMAGELIST icons, int dpi) noexcept;

struct HeaderCell {
    RECT rect;
    std::wstring text;
    SortOrder order = SortOrder::None;
    bool alignRight = false;
    bool hot = false;
    bool pressed = false;
};
void PaintHeader(HDC dc, const RECT& client, const std::vector<HeaderCell>& cells, HFONT font, int dpi) noexcept;

}  // namespace tarvo::ui
