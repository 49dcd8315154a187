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
    const HDC dc = ::GetDC(window);
    TEXTMETRICW metrics{};
    {
        const SelectedObject select(dc, font);
        ::GetTextMetricsW(dc, &metrics);
    }
    ::ReleaseDC(window, dc);
    return metrics.tmHeight;
}

bool IsKeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }
}  // namespace

VirtualListView::~VirtualListView() {
    if (list_) {
        ::RemoveWindowSubclass(list_, &VirtualListView::ListProc, kListSubclass);
        if (header_) ::RemoveWindowSubclass(header_, &VirtualListView::HeaderProc, kHeaderSubclass);
        ::DestroyWindow(list_);
        list_ = header_ = nullptr;
    }
    if (spacer_) ::ImageList_Destroy(spacer_);
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
    for (size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = columns_[i].alignRight ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = ScaleForDpi(columns_[i].width, dpi_);
        std::wstring title = HeaderTextWithCount(columns_[i].title, 0);
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
    // Report rows are as high as the small image list's images: a blank list of one-pixel-wide
    // images sets our row height.
    const HIMAGELIST spacer = ::ImageList_Create(1, metrics_.rowHeight, ILC_COLOR32, 1, 0);
    ::SendMessageW(list_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(spacer));
    if (spacer_) ::ImageList_Destroy(spacer_);
    spacer_ = spacer;
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
    for (const auto& column : columns_) widths.push_back(ScaleForDpi(column.width, dpi_));
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
}

void VirtualListView::SetButtonText(int column, std::wstring text) {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return;
    columns_[static_cast<size_t>(column)].buttonText = std::move(text);
    RedrawAll();
}

void VirtualListView::SetSort(int column, SortOrder order) {
    sort_.Set(column, order);
    if (header_) ::InvalidateRect(header_, nullptr, FALSE);
}

void VirtualListView::UpdateHeaderTexts() {
    if (!list_) return;
    // The header control keeps its own copy for accessibility tools and LVM_GETCOLUMN.
    for (size_t i = 0; i < columns_.size(); ++i) {
        std::wstring text = HeaderTextWithCount(columns_[i].title, rowCount_);
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

int VirtualListView::RowAt(POINT point) const {
    LVHITTESTINFO hit{};
    hit.pt = point;
    const int row = static_cast<int>(::SendMessageW(list_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row >= 0 && row < rowCount_) return row;
    if (view_ == ListViewStyle::Details && rowCount_ > 0) {
        // Full-row selection aside, some list versions report only the caption's icon and text
        // as hits; the row under a point is found by its band.
        const std::vector<RECT> cells = CellsOf(TopRow());
        if (!cells.empty() && point.x < cells.back().right) {
            const int height = cells.front().bottom - cells.front().top;
            if (height > 0 && point.y >= cells.front().top) {
                const int candidate = TopRow() + (point.y - cells.front().top) / height;
                if (candidate < rowCount_) return candidate;
            }
        }
    }
    return -1;
}

RowPart VirtualListView::PartAt(POINT point, int row) const {
    if (row < 0) return RowPart::None;
    if (view_ != ListViewStyle::Details) return RowPart::Row;
    const std::vector<RECT> cells = CellsOf(row);
    const int caption = CaptionColumn();
    const int button = ButtonColumn();
    const RECT none{};
    return HitRowPart(point, caption >= 0 && caption < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(caption)] : none,
                      button >= 0 && button < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(button)] : none,
                      metrics_, checks_, true);
}

void VirtualListView::SetHotRow(int row) {
    if (row == hotRow_) return;
    const int old = hotRow_;
    hotRow_ = row;
    RedrawRow(old);
    RedrawRow(row);
}

void VirtualListView::ToggleChecks() {
    if (!source_) return;
    std::vector<int> rows = SelectedRows();
    if (rows.empty()) {
        const int focused = static_cast<int>(::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (focused >= 0 && focused < rowCount_) rows.push_back(focused);
    }
    std::vector<bool> states;
    for (int row : rows) states.push_back(Row(row).checked);
    const bool checked = CheckStateAfterToggle(states);
    for (int row : rows) {
        source_->OnCheck(row, checked);
        RedrawRow(row);
    }
}

LRESULT VirtualListView::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    switch (message) {
        case WM_MOUSEMOVE: {
            if (!trackingLeave_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, list_, 0};
                trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
            }
            const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const int row = RowAt(p);
            SetHotRow(row);
            const int old = buttons_.hot();
            if (buttons_.Move(PartAt(p, row) == RowPart::Button ? row : HotTracker::kNone)) {
                RedrawRow(old);
                RedrawRow(buttons_.hot());
            }
            break;
        }
        case WM_MOUSELEAVE: {
            trackingLeave_ = false;
            SetHotRow(-1);
            const int old = buttons_.hot();
            if (buttons_.pressed() == HotTracker::kNone && buttons_.Leave()) RedrawRow(old);
            break;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const int row = RowAt(p);
            const RowPart part = PartAt(p, row);
            if (part == RowPart::CheckBox && source_) {
                source_->OnCheck(row, !Row(row).checked);
                RedrawRow(row);
                ::SetFocus(list_);
                handled = true;
                return 0;
            }
            if (part == RowPart::Button) {
                // The list's own click handling waits for a drag and swallows the release;
                // a button press is ours from here on.
                ::SetFocus(list_);
                SelectRow(row);
                buttons_.Press(row);
                ::SetCapture(list_);
                RedrawRow(row);
                handled = true;
                return 0;
            }
            break;
        }
        case WM_LBUTTONUP:
            if (buttons_.pressed() != HotTracker::kNone) {
                const POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                const int row = RowAt(p);
                const int pressed = buttons_.pressed();
                const int clicked = buttons_.Release(PartAt(p, row) == RowPart::Button ? row : HotTracker::kNone);
                if (::GetCapture() == list_) ::ReleaseCapture();
                RedrawRow(pressed);
                if (clicked != HotTracker::kNone && source_) source_->OnRowButton(clicked);
                handled = true;
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            if (buttons_.pressed() != HotTracker::kNone) {
                const int pressed = buttons_.pressed();
                buttons_.Cancel();
                RedrawRow(pressed);
            }
            break;
        case WM_KEYDOWN: {
            const ListKeyAction action = KeyActionFor(static_cast<UINT>(wParam), checks_, IsKeyDown(VK_CONTROL), IsKeyDown(VK_MENU));
            const int row = SelectedRow();
            switch (action) {
                case ListKeyAction::Activate:
                    if (row >= 0 && source_) source_->OnActivate(row);
                    handled = true;
                    return 0;
                case ListKeyAction::ToggleCheck:
                    ToggleChecks();
                    handled = true;
                    return 0;
                case ListKeyAction::Delete:
                    if (row >= 0 && source_) source_->OnDelete(row);
                    handled = true;
                    return 0;
                case ListKeyAction::None:
                    break;
            }
            break;
        }
        case WM_CHAR:
            // Space and Enter were handled as keys; as characters they would start a search.
            if ((wParam == L' ' && checks_) || wParam == L'\r') {
                handled = true;
                return 0;
            }
            break;
        case WM_GETDLGCODE: {
            // Enter activates a row, also in a dialog, where it would press the default button.
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            handled = true;
            const LRESULT code = ::DefSubclassProc(list_, message, wParam, lParam);
            return msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN ? code | DLGC_WANTMESSAGE : code;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            // Selected rows change colour with the focus.
            for (int row : SelectedRows()) RedrawRow(row);
            break;
        default:
            break;
    }
    return 0;
}

void VirtualListView::PaintHeaderNow(HDC dc) {
    RECT client{};
    ::GetClientRect(header_, &client);
    std::vector<HeaderCell> cells;
    const int count = static_cast<int>(::SendMessageW(header_, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count && i < static_cast<int>(columns_.size()); ++i) {
        HeaderCell cell;
        ::SendMessageW(header_, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&cell.rect));
        const ListColumn& column = columns_[static_cast<size_t>(i)];
        cell.text = HeaderTextWithCount(column.title, rowCount_);
        cell.order = sort_.OrderOf(i);
        cell.alignRight = column.alignRight;
        cell.hot = column.sortable && headerItems_.LooksHot(i);
        cell.pressed = column.sortable && headerItems_.LooksPressed(i);
        cells.push_back(std::move(cell));
    }
    const PaintBuffer buffer(dc, client);
    PaintHeader(buffer.dc(), client, cells, SharedFonts().Get(FontRole::Body, dpi_), dpi_);
}

LRESULT VirtualListView::OnHeaderMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = ::BeginPaint(header_, &ps);
            PaintHeaderNow(dc);
            ::EndPaint(header_, &ps);
            handled = true;
            return 0;
        }
        case WM_ERASEBKGND:
            handled = true;
            return 1;
        case HDM_LAYOUT: {
            const LRESULT result = ::DefSubclassProc(header_, message, wParam, lParam);
            auto* layout = reinterpret_cast<HDLAYOUT*>(lParam);
            if (result && layout && layout->prc && layout->pwpos && view_ == ListViewStyle::Details) {
                layout->pwpos->cy = metrics_.headerHeight;
                layout->prc->top = layout->pwpos->y + metrics_.headerHeight;
            }
            handled = true;
            return result;
        }
        case WM_MOUSEMOVE: {
            if (!headerTrackingLeave_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, header_, 0};
                headerTrackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
            }
            HDHITTESTINFO hit{};
            hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const int item = static_cast<int>(::SendMessageW(header_, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
            if (headerItems_.Move((hit.flags & HHT_ONHEADER) ? item : HotTracker::kNone)) ::InvalidateRect(header_, nullptr, FALSE);
            break;
        }
        case WM_MOUSELEAVE:
            headerTrackingLeave_ = false;
            if (headerItems_.Leave()) ::InvalidateRect(header_, nullptr, FALSE);
            break;
        case WM_LBUTTONDOWN: {
            HDHITTESTINFO hit{};
            hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            const int item = static_cast<int>(::SendMessageW(header_, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
            if (hit.flags & HHT_ONHEADER) {
                headerItems_.Press(item);
                ::InvalidateRect(header_, nullptr, FALSE);
            }
            break;
        }
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (headerItems_.Cancel()) ::InvalidateRect(header_, nullptr, FALSE);
            break;
        default:
            break;
    }
    return 0;
}

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

LRESULT VirtualListView::OnNotify(NMHDR* header) {
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

LRESULT VirtualListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<NMHDR*>(lParam));
        case WM_SIZE:
            if (list_) {
                ::MoveWindow(list_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
                FitColumns();
                if (view_ == ListViewStyle::LargeIcons) ::SendMessageW(list_, LVM_ARRANGE, LVA_DEFAULT, 0);
            }
            return 0;
        case WM_SETFOCUS:
            Focus();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCDESTROY:
            // The children went with this window.
            list_ = header_ = nullptr;
            return DefaultHandling(message, wParam, lParam);
        default:
            return DefaultHandling(message, wParam, lParam);
    }
}

LRESULT CALLBACK VirtualListView::ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) noexcept {
    try {
        bool handled = false;
        const LRESULT result = reinterpret_cast<VirtualListView*>(data)->OnListMessage(message, wParam, lParam, handled);
        if (handled) return result;
    } catch (...) {
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK VirtualListView::HeaderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR data) noexcept {
    try {
        bool handled = false;
        const LRESULT result = reinterpret_cast<VirtualListView*>(data)->OnHeaderMessage(message, wParam, lParam, handled);
        if (handled) return result;
    } catch (...) {
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace tarvo::ui
