// The programs list: mouse, keyboard and the header we paint ourselves.
#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"
#include "ui/virtual_list_view.h"

namespace tarvo::ui {

namespace {
bool IsKeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }
}  // namespace

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

POINT VirtualListView::RowOrigin(int row) const {
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    ::SendMessageW(list_, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
    return {bounds.left, bounds.top};
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
                const POINT before = RowOrigin(row);
                SelectRow(row);
                const POINT after = RowOrigin(row);
                pressShift_ = {after.x - before.x, after.y - before.y};
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
                const POINT p{GET_X_LPARAM(lParam) + pressShift_.x, GET_Y_LPARAM(lParam) + pressShift_.y};
                pressShift_ = {};
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
                pressShift_ = {};
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
            const unique_hdc_paint dc(header_);
            PaintHeaderNow(dc.get());
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
