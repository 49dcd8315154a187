#include "ui/virtual_list_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"

namespace tarvo::ui {

namespace {
constexpr UINT_PTR kListSubclass = 0x71;
constexpr UINT_PTR kHeaderSubclass = 0x72;

int LineHeightOf(HWND window, HFONT font) {
    const unique_window_dc dc(window);
    TEXTMETRICW metrics{};
    const SelectedObject select(dc.get(), font);
    ::GetTextMetricsW(dc.get(), &metrics);
    return metrics.tmHeight;
}

// Row buttons as wide as their longest caption needs (a translation may be longer than the
// English word), never narrower than the design width.
int ButtonWidthFor(HWND window, HFONT font, const std::vector<ListColumn>& columns, const ListMetrics& m) {
    const unique_window_dc dc(window);
    int width = m.buttonWidth;
    for (const ListColumn& column : columns)
        if (column.kind == ColumnKind::Button && !column.buttonText.empty())
            width = std::max(width, static_cast<int>(MeasureText(dc.get(), column.buttonText, font).cx) + m.padding * 2);
    return width;
}

}  // namespace

VirtualListView::~VirtualListView() {
    if (list_) {
        ::RemoveWindowSubclass(list_, &VirtualListView::ListProc, kListSubclass);
        if (header_) ::RemoveWindowSubclass(header_, &VirtualListView::HeaderProc, kHeaderSubclass);
        ::DestroyWindow(list_);
        list_ = header_ = nullptr;
    }
}

bool VirtualListView::Create(HWND parent, int id, const RECT& bounds, std::vector<ListColumn> columns,
                             ListDataSource& source, int dpi) {
    source_ = &source;
    columns_ = std::move(columns);
    dpi_ = dpi;
    if (!CreateChild(kClassName, parent, id, WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, bounds)) return false;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    list_ = ::CreateWindowExW(0, WC_LISTVIEWW, L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_OWNERDATA |
                                  LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                              0, 0, client.right, client.bottom, hwnd(),
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), ::GetModuleHandleW(nullptr),
                              nullptr);
    if (!list_) return false;
    ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    ::SendMessageW(list_, LVM_SETBKCOLOR, 0, palette::kWindow);
    header_ = reinterpret_cast<HWND>(::SendMessageW(list_, LVM_GETHEADER, 0, 0));
    ::SetWindowSubclass(list_, &VirtualListView::ListProc, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
    if (header_) ::SetWindowSubclass(header_, &VirtualListView::HeaderProc, kHeaderSubclass, reinterpret_cast<DWORD_PTR>(this));
    headerTexts_.clear();
    for (size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = columns_[i].alignRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = ScaleForDpi(columns_[i].width, dpi_);
        std::wstring title = HeaderTextWithCount(columns_[i].title, 0);
        headerTexts_.push_back(title);
        column.pszText = title.data();
        column.iSubItem = static_cast<int>(i);
        ::SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    ApplyMetrics();
    return true;
}

int VirtualListView::CaptionColumn() const noexcept {
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].kind == ColumnKind::Caption) return static_cast<int>(i);
    }
    return -1;
}

int VirtualListView::ButtonColumn() const noexcept {
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].kind == ColumnKind::Button) return static_cast<int>(i);
    }
    return -1;
}

void VirtualListView::ApplyMetrics() {
    if (!list_) return;
    auto& fonts = SharedFonts();
    ::SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.Get(FontRole::Body, dpi_)), FALSE);
    int iconSize = ScaleForDpi(32, dpi_);
    if (rowIcons_) {
        int cx = 0, cy = 0;
        if (::ImageList_GetIconSize(rowIcons_, &cx, &cy)) iconSize = cy;
    }
    const bool twoLines = view_ == ListViewStyle::Details;
    metrics_ = ListMetricsFor(dpi_, iconSize, LineHeightOf(list_, fonts.Get(FontRole::Emphasis, dpi_)),
                              LineHeightOf(list_, fonts.Get(FontRole::Small, dpi_)), twoLines);
    metrics_.buttonWidth = ButtonWidthFor(list_, fonts.Get(FontRole::Body, dpi_), columns_, metrics_);
    // Report rows are as high as the small image list's images: a blank list of one-pixel-wide
    // images sets our row height.
    unique_himagelist spacer(::ImageList_Create(1, metrics_.rowHeight, ILC_COLOR32, 1, 0));
    ::SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(spacer.get()));
    spacer_ = std::move(spacer);
    if (largeIcons_) {
        int cx = 0, cy = 0;
        ::ImageList_GetIconSize(largeIcons_, &cx, &cy);
        const int width = std::max(cx + ScaleForDpi(24, dpi_), ScaleForDpi(104, dpi_));
        const int height = cy + ScaleForDpi(56, dpi_);
        ::SendMessageW(list_, LVM_SETICONSPACING, 0, MAKELPARAM(width, height));
    }
    FitColumns();
    // Makes the list ask the header for its height again.
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    ::SetWindowPos(list_, nullptr, 0, 0, client.right, client.bottom, SWP_NOZORDER | SWP_FRAMECHANGED);
    RedrawAll();
}

void VirtualListView::FitColumns() {
    if (!list_ || view_ != ListViewStyle::Details) return;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    std::vector<int> widths;
    // A translated title longer than the design width widens its column (room for the sort
    // arrow included) instead of being cut; the caption column gives the room.
    const unique_window_dc dc(list_);
    const HFONT font = SharedFonts().Get(FontRole::Body, dpi_);
    for (size_t i = 0; i < columns_.size(); ++i) {
        int width = ScaleForDpi(columns_[i].width, dpi_);
        if (static_cast<int>(i) != CaptionColumn() && !columns_[i].title.empty())
            width = std::max(width, static_cast<int>(MeasureText(dc.get(), columns_[i].title, font).cx) +
                                        ScaleForDpi(28, dpi_));
        widths.push_back(width);
    }
    const std::vector<int> fitted =
        FitCaptionColumn(widths, CaptionColumn(), client.right - ::GetSystemMetrics(SM_CXVSCROLL));
    for (size_t i = 0; i < fitted.size(); ++i) ::SendMessageW(list_, LVM_SETCOLUMNWIDTH, i, fitted[i]);
}

void VirtualListView::SetRowCount(int count, bool keepPosition) {
    if (!list_) return;
    count = std::max(0, count);
    const int oldTop = TopRow();
    rowCount_ = count;
    if (hotRow_ >= count) hotRow_ = -1;
    buttons_.Cancel();
    buttons_.Leave();
    ::SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), keepPosition ? LVSICF_NOSCROLL : 0);
    if (keepPosition) {
        // Selection beyond the new end names rows that no longer exist.
        for (int row : SelectedRows()) {
            if (row < count) continue;
            LVITEMW state{};
            state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
        }
        if (view_ == ListViewStyle::Details) {
            const int perPage = static_cast<int>(::SendMessageW(list_, LVM_GETCOUNTPERPAGE, 0, 0));
            const int wanted = TopRowAfterRefill(oldTop, count, perPage);
            if (wanted != TopRow()) ScrollToTop(wanted);
        }
    } else if (count > 0) {
        ::SendMessageW(list_, LVM_ENSUREVISIBLE, 0, FALSE);
    }
    if (view_ == ListViewStyle::LargeIcons) ::SendMessageW(list_, LVM_ARRANGE, LVA_DEFAULT, 0);
    UpdateHeaderTexts();
    RedrawAll();
}

void VirtualListView::SetViewStyle(ListViewStyle style) {
    if (!list_ || style == view_) return;
    view_ = style;
    const LONG_PTR old = ::GetWindowLongPtrW(list_, GWL_STYLE);
    ::SetWindowLongPtrW(list_, GWL_STYLE, (old & ~LVS_TYPEMASK) | (style == ListViewStyle::Details ? LVS_REPORT : LVS_ICON));
    ApplyMetrics();
    if (style == ListViewStyle::LargeIcons) ::SendMessageW(list_, LVM_ARRANGE, LVA_DEFAULT, 0);
}

void VirtualListView::SetCheckBoxes(bool shown) {
    if (checks_ == shown) return;
    checks_ = shown;
    RedrawAll();
}

void VirtualListView::SetImageLists(HIMAGELIST rowIcons, HIMAGELIST largeIcons) {
    rowIcons_ = rowIcons;
    largeIcons_ = largeIcons;
    if (list_) ::SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(largeIcons));
    ApplyMetrics();
}

void VirtualListView::SetColumnTitle(int column, std::wstring title) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return;
    columns_[static_cast<size_t>(column)].title = std::move(title);
    UpdateHeaderTexts();
    FitColumns();
}

void VirtualListView::SetButtonText(int column, std::wstring text) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return;
    columns_[static_cast<size_t>(column)].buttonText = std::move(text);
    if (list_)
        metrics_.buttonWidth = ButtonWidthFor(list_, SharedFonts().Get(FontRole::Body, dpi_), columns_,
                                              ListMetricsFor(dpi_, 0, 0, 0, false));
    RedrawAll();
}

void VirtualListView::SetSort(int column, SortOrder order) {
    sort_.Set(column, order);
    if (header_) ::InvalidateRect(header_, nullptr, FALSE);
}

void VirtualListView::UpdateHeaderTexts() {
    if (!list_) return;
    // The header control keeps its own copy for accessibility tools and LVM_GETCOLUMN. Only
    // a changed text is handed over: each one makes the header lay itself out again, and
    // a search keystroke changes at most the count.
    headerTexts_.resize(columns_.size());
    for (size_t i = 0; i < columns_.size(); ++i) {
        std::wstring text = HeaderTextWithCount(columns_[i].title, rowCount_);
        if (text == headerTexts_[i]) continue;
        headerTexts_[i] = text;
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = text.data();
        ::SendMessageW(list_, LVM_SETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    if (header_) ::InvalidateRect(header_, nullptr, FALSE);
}

int VirtualListView::SelectedRow() const {
    if (!list_) return -1;
    const int focused = static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused >= 0 && focused < rowCount_ &&
        (::SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(focused), LVIS_SELECTED) & LVIS_SELECTED)) {
        return focused;
    }
    const int first = static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return first < rowCount_ ? first : -1;
}

std::vector<int> VirtualListView::SelectedRows() const {
    std::vector<int> rows;
    if (!list_) return rows;
    int row = -1;
    while ((row = static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED))) >= 0) {
        rows.push_back(row);
    }
    return rows;
}

void VirtualListView::SelectRow(int row) {
    if (!list_) return;
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED;
    ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    if (row < 0 || row >= rowCount_) return;
    LVITEMW set{};
    set.state = set.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&set));
    ::SendMessageW(list_, LVM_SETSELECTIONMARK, 0, row);
    ::SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

int VirtualListView::TopRow() const {
    return list_ ? static_cast<int>(::SendMessageW(list_, LVM_GETTOPINDEX, 0, 0)) : 0;
}

void VirtualListView::ScrollToTop(int row) {
    if (!list_ || rowCount_ == 0) return;
    if (view_ != ListViewStyle::Details) {
        ::SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(std::clamp(row, 0, rowCount_ - 1)), FALSE);
        return;
    }
    RECT item{};
    item.left = LVIR_BOUNDS;
    const int height = ::SendMessageW(list_, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item))
                           ? item.bottom - item.top
                           : metrics_.rowHeight;
    const int delta = (row - TopRow()) * height;
    if (delta != 0) ::SendMessageW(list_, LVM_SCROLL, 0, delta);
}

void VirtualListView::RedrawRow(int row) {
    if (!list_ || row < 0 || row >= rowCount_) return;
    if (view_ == ListViewStyle::Details) {
        ::SendMessageW(list_, LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
    } else {
        ::InvalidateRect(list_, nullptr, FALSE);
    }
}

void VirtualListView::RedrawAll() {
    if (list_) ::InvalidateRect(list_, nullptr, TRUE);
    if (header_) ::InvalidateRect(header_, nullptr, FALSE);
}

void VirtualListView::SetDpi(int dpi) {
    dpi_ = dpi;
    ApplyMetrics();
}

void VirtualListView::Move(const RECT& b) {
    if (hwnd()) ::MoveWindow(hwnd(), b.left, b.top, b.right - b.left, b.bottom - b.top, TRUE);
}

void VirtualListView::Focus() {
    if (list_) ::SetFocus(list_);
}

ListRowData& VirtualListView::Row(int row) {
    scratch_.Clear(columns_.size());
    if (source_ && row >= 0 && row < rowCount_) source_->GetRow(row, scratch_);
    return scratch_;
}

std::vector<RECT> VirtualListView::CellsOf(int row) const {
    std::vector<RECT> cells;
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (!::SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds))) return cells;
    int x = bounds.left;
    for (size_t i = 0; i < columns_.size(); ++i) {
        const int width = static_cast<int>(::SendMessageW(list_, LVM_GETCOLUMNWIDTH, i, 0));
        cells.push_back({x, bounds.top, x + width, bounds.bottom});
        x += width;
    }
    return cells;
}

LRESULT VirtualListView::OnNotify(const NMHDR& header) {
    // The list hands a block it expects filled (display information), so it is writable.
    return ListNotify(const_cast<NMHDR*>(&header));
}

void VirtualListView::OnSize(UINT /*type*/, int width, int height) {
    if (!list_) return;
    ::MoveWindow(list_, 0, 0, width, height, TRUE);
    FitColumns();
    if (view_ == ListViewStyle::LargeIcons) ::SendMessageW(list_, LVM_ARRANGE, LVA_DEFAULT, 0);
}

std::optional<LRESULT> VirtualListView::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    switch (message) {
        case WM_SETFOCUS:
            Focus();
            return 0;
        case WM_NCDESTROY:
            // The children went with this window.
            list_ = header_ = nullptr;
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

}  // namespace tarvo::ui
