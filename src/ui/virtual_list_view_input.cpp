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

bool VirtualListView::OnListMouse(const MouseEvent& event) {
    const POINT p = event.at;
    switch (event.kind) {
        case MouseKind::Move: {
            listLeave_.Arm(list_);
            const int row = RowAt(p);
            SetHotRow(row);
            const int old = buttons_.hot();
            if (buttons_.Move(PartAt(p, row) == RowPart::Button ? row : HotTracker::kNone)) {
                RedrawRow(old);
                RedrawRow(buttons_.hot());
            }
            return false;
        }
        case MouseKind::Leave: {
            listLeave_.Disarm();
            SetHotRow(-1);
            const int old = buttons_.hot();
            if (buttons_.pressed() == HotTracker::kNone && buttons_.Leave()) RedrawRow(old);
            return false;
        }
        case MouseKind::Press:
        case MouseKind::DoublePress: {
            const int row = RowAt(p);
            const RowPart part = PartAt(p, row);
            if (part == RowPart::CheckBox && source_) {
                source_->OnCheck(row, !Row(row).checked);
                RedrawRow(row);
                ::SetFocus(list_);
                return true;
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
                return true;
            }
            return false;
        }
        case MouseKind::Release:
            if (buttons_.pressed() != HotTracker::kNone) {
                const POINT shifted{p.x + pressShift_.x, p.y + pressShift_.y};
                pressShift_ = {};
                const int row = RowAt(shifted);
                const int pressed = buttons_.pressed();
                const int clicked = buttons_.Release(PartAt(shifted, row) == RowPart::Button ? row : HotTracker::kNone);
                if (::GetCapture() == list_) ::ReleaseCapture();
                RedrawRow(pressed);
                if (clicked != HotTracker::kNone && source_) source_->OnRowButton(clicked);
                return true;
            }
            return false;
        case MouseKind::CaptureLost:
            if (buttons_.pressed() != HotTracker::kNone) {
                const int pressed = buttons_.pressed();
                buttons_.Cancel();
                pressShift_ = {};
                RedrawRow(pressed);
            }
            return false;
    }
    return false;
}

LRESULT VirtualListView::OnListMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    if (const auto mouse = DecodeMouse(list_, message, wParam, lParam)) {
        handled = OnListMouse(*mouse);
        return 0;
    }
    switch (message) {
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

void VirtualListView::OnHeaderMouse(const MouseEvent& event) {
    const auto itemAt = [this](POINT p, bool& onHeader) {
        HDHITTESTINFO hit{};
        hit.pt = p;
        const int item = static_cast<int>(::SendMessageW(header_, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        onHeader = (hit.flags & HHT_ONHEADER) != 0;
        return item;
    };
    bool onHeader = false;
    switch (event.kind) {
        case MouseKind::Move: {
            headerLeave_.Arm(header_);
            const int item = itemAt(event.at, onHeader);
            if (headerItems_.Move(onHeader ? item : HotTracker::kNone)) ::InvalidateRect(header_, nullptr, FALSE);
            break;
        }
        case MouseKind::Leave:
            headerLeave_.Disarm();
            if (headerItems_.Leave()) ::InvalidateRect(header_, nullptr, FALSE);
            break;
        case MouseKind::Press: {
            const int item = itemAt(event.at, onHeader);
            if (onHeader) {
                headerItems_.Press(item);
                ::InvalidateRect(header_, nullptr, FALSE);
            }
            break;
        }
        case MouseKind::Release:
        case MouseKind::CaptureLost:
            if (headerItems_.Cancel()) ::InvalidateRect(header_, nullptr, FALSE);
            break;
        case MouseKind::DoublePress:
            break;
    }
}

LRESULT VirtualListView::OnHeaderMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = false;
    // The header's own handling (sizing, clicks, drags) always follows ours.
    if (const auto mouse = DecodeMouse(header_, message, wParam, lParam)) {
        OnHeaderMouse(*mouse);
        return 0;
    }
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
