// The programs list: what the list control asks of us and tells us, and row drawing.
#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"
#include "ui/virtual_list_view.h"

namespace tarvo::ui {

void VirtualListView::OnGetDispInfo(NMLVDISPINFOW* info) {
    LVITEMW& item = info->item;
    if (item.iItem < 0 || item.iItem >= rowCount_) return;
    const ListRowData& row = Row(item.iItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        const size_t column = static_cast<size_t>(std::max(0, item.iSubItem));
        const ColumnKind kind = column < columns_.size() ? columns_[column].kind : ColumnKind::Text;
        const std::wstring* text = &row.caption;
        if (kind == ColumnKind::Text && column < row.cells.size()) text = &row.cells[column];
        static const std::wstring kNone;
        if (kind == ColumnKind::Button) text = &kNone;
        const size_t length = std::min(text->size(), static_cast<size_t>(item.cchTextMax) - 1);
        std::wmemcpy(item.pszText, text->data(), length);
        item.pszText[length] = L'\0';
    }
    if (item.mask & LVIF_IMAGE) item.iImage = item.iSubItem == 0 ? row.icon : -1;
}

int VirtualListView::FindRow(const NMLVFINDITEMW* find) {
    if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz || rowCount_ == 0) return -1;
    const std::wstring_view wanted(find->lvfi.psz);
    const int start = std::clamp(find->iStart, 0, rowCount_ - 1);
    // Type-to-find walks the rows once from the focused one; it runs per typed character,
    // not per repaint, so a pass over the rows is acceptable.
    for (int step = 0; step < rowCount_; ++step) {
        const int row = (start + step) % rowCount_;
        const ListRowData& data = Row(row);
        if (data.caption.size() >= wanted.size() &&
            ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, data.caption.c_str(), static_cast<int>(wanted.size()),
                             wanted.data(), static_cast<int>(wanted.size())) == CSTR_EQUAL) {
            return row;
        }
    }
    return -1;
}

LRESULT VirtualListView::OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            const int row = static_cast<int>(draw->nmcd.dwItemSpec);
            if (row < 0 || row >= rowCount_) return CDRF_DODEFAULT;
            const ListRowData& data = Row(row);
            RowState state;
            state.selected = (::SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) != 0;
            state.listFocused = ::GetFocus() == list_;
            state.hot = row == hotRow_;
            state.checksShown = checks_;
            state.twoLines = view_ == ListViewStyle::Details;
            state.button = VisualOf(buttons_, row, false);
            auto& fonts = SharedFonts();
            const ListFonts listFonts{fonts.Get(FontRole::Body, dpi_), fonts.Get(FontRole::Emphasis, dpi_),
                                      fonts.Get(FontRole::Small, dpi_)};
            RECT client{};
            ::GetClientRect(list_, &client);
            if (view_ == ListViewStyle::Details) {
                const std::vector<RECT> cells = CellsOf(row);
                if (cells.empty()) return CDRF_SKIPDEFAULT;
                RECT rowRect{cells.front().left, cells.front().top, std::max(cells.back().right, client.right), cells.front().bottom};
                const PaintBuffer buffer(draw->nmcd.hdc, rowRect);
                PaintDetailsRow(buffer.dc(), rowRect, cells, columns_, data, state, metrics_, listFonts, rowIcons_, dpi_);
            } else {
                RECT bounds{};
                bounds.left = LVIR_BOUNDS;
                ::SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
                const DWORD spacing = static_cast<DWORD>(::SendMessageW(list_, LVM_GETITEMSPACING, FALSE, 0));
                const int width = LOWORD(spacing) - ScaleForDpi(4, dpi_);
                const int height = HIWORD(spacing) - ScaleForDpi(4, dpi_);
                const int centre = (bounds.left + bounds.right) / 2;
                const RECT item{centre - width / 2, bounds.top, centre - width / 2 + width, bounds.top + height};
                const PaintBuffer buffer(draw->nmcd.hdc, item);
                PaintIconItem(buffer.dc(), item, data, state, listFonts, largeIcons_, dpi_);
            }
            return CDRF_SKIPDEFAULT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

LRESULT VirtualListView::ListNotify(NMHDR* header) {
    if (header->hwndFrom != list_) return 0;
    switch (header->code) {
        case LVN_GETDISPINFOW:
            OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
            return 0;
        case LVN_ODFINDITEMW:
            return FindRow(reinterpret_cast<NMLVFINDITEMW*>(header));
        case NM_CUSTOMDRAW:
            return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        case NM_DBLCLK: {
            const auto* activate = reinterpret_cast<NMITEMACTIVATE*>(header);
            const int row = activate->iItem >= 0 ? activate->iItem : RowAt(activate->ptAction);
            if (row >= 0 && PartAt(activate->ptAction, row) == RowPart::Row && source_) source_->OnActivate(row);
            return 0;
        }
        case NM_RCLICK: {
            const auto* activate = reinterpret_cast<NMITEMACTIVATE*>(header);
            POINT screen = activate->ptAction;
            const int row = activate->iItem >= 0 ? activate->iItem : RowAt(screen);
            ::ClientToScreen(list_, &screen);
            if (source_) source_->OnContextMenu(row, screen);
            return 0;
        }
        case LVN_ITEMCHANGED: {
            const auto* changed = reinterpret_cast<NMLISTVIEW*>(header);
            if ((changed->uChanged & LVIF_STATE) && ((changed->uNewState ^ changed->uOldState) & LVIS_SELECTED)) {
                if (view_ != ListViewStyle::Details) ::InvalidateRect(list_, nullptr, FALSE);
                if (source_) source_->OnSelectionChanged();
            }
            return 0;
        }
        case LVN_ODSTATECHANGED:
            if (view_ != ListViewStyle::Details) ::InvalidateRect(list_, nullptr, FALSE);
            if (source_) source_->OnSelectionChanged();
            return 0;
        case LVN_COLUMNCLICK: {
            const int column = reinterpret_cast<NMLISTVIEW*>(header)->iSubItem;
            if (column >= 0 && column < static_cast<int>(columns_.size()) &&
                sort_.Click(column, columns_[static_cast<size_t>(column)].sortable)) {
                if (header_) ::InvalidateRect(header_, nullptr, FALSE);
                if (source_) source_->OnSort(column, sort_.order());
            }
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace tarvo::ui
