#include "shell/news_footer.h"

#include <algorithm>

#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"

namespace tarvo::shell {

bool NewsFooter::Create(HWND parent, int id, int dpi) {
    dpi_ = dpi;
    if (!CreateChild(kClassName, parent, id, WS_CHILD | WS_VISIBLE, 0, {})) return false;
    UpdateWindowText();
    return true;
}

void NewsFooter::Move(const RECT& bounds) {
    ::MoveWindow(hwnd(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

void NewsFooter::SetView(const online::NewsView& view) {
    view_ = view;
    LayOutTexts();
    UpdateWindowText();
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void NewsFooter::SetInvitation(const std::wstring& text) {
    invitation_ = text;
    UpdateWindowText();
    if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void NewsFooter::SetFeedbackText(const std::wstring& text) {
    feedback_ = text;
    LayOutTexts();
    if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void NewsFooter::KeepClear(int left, int right) {
    clearLeft_ = left;
    clearRight_ = right;
    LayOutTexts();
    if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

int NewsFooter::TextRight() const noexcept {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    int right = client.right - S(16);
    if (feedbackRect_.right > feedbackRect_.left) right = feedbackRect_.left - S(16);
    if (clearRight_ > clearLeft_ && clearLeft_ - S(12) < right) right = clearLeft_ - S(12);
    return std::max(static_cast<int>(S(16)), right);
}

void NewsFooter::UpdateWindowText() {
    // The strip only paints; its window text says what it shows, for screen readers and for
    // tests that read a window's texts from outside.
    if (!hwnd()) return;
    const std::wstring text = view_.offline ? invitation_ : view_.item.title;
    ::SetWindowTextW(hwnd(), text.c_str());
}

void NewsFooter::LayOutTexts() {
    titleRect_ = detailRect_ = feedbackRect_ = RECT{};
    if (!hwnd()) return;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const HDC dc = ::GetDC(hwnd());
    if (!dc) return;
    ui::FontCache& fonts = ui::SharedFonts();
    const SIZE title = ui::MeasureText(dc, view_.item.title, fonts.Get(ui::FontRole::Emphasis, dpi_));
    const SIZE detail = ui::MeasureText(dc, view_.item.remark, fonts.Get(ui::FontRole::Body, dpi_));
    const SIZE feedback = ui::MeasureText(dc, feedback_, fonts.Get(ui::FontRole::Body, dpi_));
    ::ReleaseDC(hwnd(), dc);
    // The feedback link keeps the right end unless the round button would cover it.
    if (!feedback_.empty()) {
        const RECT link{client.right - S(16) - feedback.cx, client.top, client.right - S(16), client.bottom};
        if (clearRight_ <= clearLeft_ || link.left >= clearRight_ + S(12)) feedbackRect_ = link;
    }
    if (view_.offline) return;
    // The title keeps at most half the room, so a long title still leaves its detail a say.
    const int left = S(16);
    const int right = TextRight();
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
    if (!view_.offline && (::PtInRect(&titleRect_, point) || ::PtInRect(&detailRect_, point))) return 0;
    if (::PtInRect(&feedbackRect_, point)) return 1;
    return ui::HotTracker::kNone;
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
    if (feedbackRect_.right > feedbackRect_.left) {
        ui::DrawTextLine(dc, feedback_, feedbackRect_, fonts.Get(ui::FontRole::Body, dpi_), ui::palette::kLink);
        if (mouse_.LooksHot(1)) {
            const SIZE size = ui::MeasureText(dc, feedback_, fonts.Get(ui::FontRole::Body, dpi_));
            const int y = (feedbackRect_.top + feedbackRect_.bottom + static_cast<int>(size.cy)) / 2;
            ui::FillSolid(dc, {feedbackRect_.left, y - line, feedbackRect_.right, y}, ui::palette::kLink);
        }
    }
    if (view_.offline) {
        DrawInvitation(dc, {client.left + S(16), client.top, TextRight(), client.bottom});
        return;
    }
    ui::DrawTextLine(dc, view_.item.title, titleRect_, fonts.Get(ui::FontRole::Emphasis, dpi_), ui::palette::kLink);
    if (mouse_.LooksHot(0)) {
        const int y = (titleRect_.top + titleRect_.bottom + titleTextHeight_) / 2;
        ui::FillSolid(dc, {titleRect_.left, y - line, titleRect_.right, y}, ui::palette::kLink);
    }
    ui::DrawTextLine(dc, view_.item.remark, detailRect_, fonts.Get(ui::FontRole::Body, dpi_), ui::palette::kText);
}

void NewsFooter::DrawInvitation(HDC dc, RECT box) const {
    // One line when it fits beside the round button; else two lines in the smaller font,
    // rather than a sentence cut off in the middle.
    ui::FontCache& fonts = ui::SharedFonts();
    const HFONT body = fonts.Get(ui::FontRole::Body, dpi_);
    if (ui::MeasureText(dc, invitation_, body).cx <= box.right - box.left) {
        ui::DrawTextLine(dc, invitation_, box, body, ui::palette::kTextSecondary);
        return;
    }
    const ui::SelectedObject font(dc, fonts.Get(ui::FontRole::Small, dpi_));
    const UINT format = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS | DT_EDITCONTROL;
    RECT measured = box;
    ::DrawTextW(dc, invitation_.c_str(), static_cast<int>(invitation_.size()), &measured, format | DT_CALCRECT);
    const int height = std::min(measured.bottom - measured.top, box.bottom - box.top);
    RECT text{box.left, box.top + (box.bottom - box.top - height) / 2, box.right, 0};
    text.bottom = text.top + height;
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc, ui::palette::kTextSecondary);
    ::DrawTextW(dc, invitation_.c_str(), static_cast<int>(invitation_.size()), &text, format);
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
}

void NewsFooter::OnSize(UINT /*type*/, int /*width*/, int /*height*/) {
    LayOutTexts();
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void NewsFooter::OnMouseMove(POINT at) {
    if (mouse_.Move(PartAt(at))) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void NewsFooter::OnMouseLeave() {
    if (mouse_.Leave()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void NewsFooter::OnMouseDown(POINT at, bool doubleClick) {
    if (doubleClick) return;
    const int part = PartAt(at);
    (void)mouse_.Press(part);
    if (part != ui::HotTracker::kNone) CaptureMouse();
}

void NewsFooter::OnMouseUp(POINT at) {
    const int clicked = mouse_.Release(PartAt(at));
    ReleaseMouse();
    if (clicked == 0 && onClick) onClick(view_.item.link);
    else if (clicked == 1 && onFeedback) onFeedback();
}

void NewsFooter::OnCaptureLost() {
    if (mouse_.Cancel()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

std::optional<LRESULT> NewsFooter::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    switch (message) {
    case WM_SETCURSOR: {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ::ScreenToClient(hwnd(), &cursor);
        if (PartAt(cursor) == ui::HotTracker::kNone) return std::nullopt;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
    }
    default:
        return std::nullopt;
    }
}

}  // namespace tarvo::shell
