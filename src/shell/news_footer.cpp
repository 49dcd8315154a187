#include "shell/news_footer.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"

namespace tarvo::shell {

bool NewsFooter::Create(HWND parent, int id, int dpi) {
    dpi_ = dpi;
    return CreateChild(kClassName, parent, id, WS_CHILD | WS_VISIBLE, 0, {});
}

void NewsFooter::Move(const RECT& bounds) {
    ::MoveWindow(hwnd(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

void NewsFooter::SetView(const online::NewsView& view) {
    view_ = view;
    LayOutTexts();
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void NewsFooter::SetInvitation(const std::wstring& text) {
    invitation_ = text;
    if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void NewsFooter::LayOutTexts() {
    titleRect_ = detailRect_ = RECT{};
    if (!hwnd() || view_.offline) return;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const HDC dc = ::GetDC(hwnd());
    if (!dc) return;
    ui::FontCache& fonts = ui::SharedFonts();
    const SIZE title = ui::MeasureText(dc, view_.item.title, fonts.Get(ui::FontRole::Emphasis, dpi_));
    const SIZE detail = ui::MeasureText(dc, view_.item.remark, fonts.Get(ui::FontRole::Body, dpi_));
    ::ReleaseDC(hwnd(), dc);
    // The title keeps at most half the strip, so a long title still leaves its detail a say.
    const int left = S(16);
    const int right = client.right - S(16);
    const int titleRight = std::min(left + static_cast<int>(title.cx), left + (right - left) / 2);
    titleRect_ = {left, client.top, titleRight, client.bottom};
    titleTextHeight_ = static_cast<int>(title.cy);
    if (!view_.item.remark.empty()) {
        const int detailLeft = titleRight + S(12);
        detailRect_ = {detailLeft, client.top, std::min(right, detailLeft + static_cast<int>(detail.cx)), client.bottom};
        if (detailRect_.right <= detailRect_.left) detailRect_ = RECT{};
    }
}

int NewsFooter::PartAt(POINT point) const noexcept {
    return !view_.offline && (::PtInRect(&titleRect_, point) || ::PtInRect(&detailRect_, point)) ? 0
                                                                                                  : ui::HotTracker::kNone;
}

void NewsFooter::OnPaint(HDC target) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const ui::PaintBuffer buffer(target, client);
    const HDC dc = buffer.dc();
    ui::FillSolid(dc, client, ui::palette::kToolbar);
    const int line = std::max(1, dpi_ / 96);
    ui::FillSolid(dc, {client.left, client.top, client.right, client.top + line}, ui::palette::kBorder);
    ui::FontCache& fonts = ui::SharedFonts();
    if (view_.offline) {
        const RECT text{client.left + S(16), client.top, client.right - S(16), client.bottom};
        ui::DrawTextLine(dc, invitation_, text, fonts.Get(ui::FontRole::Body, dpi_), ui::palette::kTextSecondary);
        return;
    }
    ui::DrawTextLine(dc, view_.item.title, titleRect_, fonts.Get(ui::FontRole::Emphasis, dpi_), ui::palette::kLink);
    if (mouse_.LooksHot(0)) {
        const int y = (titleRect_.top + titleRect_.bottom + titleTextHeight_) / 2;
        ui::FillSolid(dc, {titleRect_.left, y - line, titleRect_.right, y}, ui::palette::kLink);
    }
    ui::DrawTextLine(dc, view_.item.remark, detailRect_, fonts.Get(ui::FontRole::Body, dpi_), ui::palette::kText);
}

void NewsFooter::OnSize(UINT /*type*/, int /*width*/, int /*height*/) {
    LayOutTexts();
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

std::optional<LRESULT> NewsFooter::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_SETCURSOR: {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::ScreenToClient(hwnd(), &cursor);
        if (PartAt(cursor) == ui::HotTracker::kNone) return std::nullopt;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
            tracking_ = ::TrackMouseEvent(&track) != FALSE;
        }
        if (mouse_.Move(PartAt(at))) ::InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (mouse_.Leave()) ::InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN: {
        const int part = PartAt(at);
        (void)mouse_.Press(part);
        if (part != ui::HotTracker::kNone) ::SetCapture(hwnd());
        return 0;
    }
    case WM_LBUTTONUP: {
        const bool click = mouse_.Release(PartAt(at)) == 0;
        if (::GetCapture() == hwnd()) ::ReleaseCapture();
        if (click && onClick) onClick(view_.item.link);
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (mouse_.Cancel()) ::InvalidateRect(hwnd(), nullptr, FALSE);
        return 0;
    default:
        return std::nullopt;
    }
}

}  // namespace tarvo::shell
