#include "ui/gdi.h"

namespace tarvo::ui {

PaintBuffer::PaintBuffer(HDC target, const RECT& area) noexcept : target_(target), area_(area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;
    memory_.reset(::CreateCompatibleDC(target));
    bitmap_.reset(::CreateCompatibleBitmap(target, width, height));
    if (!memory_ || !bitmap_) {
        memory_.reset();
        return;
    }
    oldBitmap_ = ::SelectObject(memory_.get(), bitmap_.get());
    ::SetWindowOrgEx(memory_.get(), area.left, area.top, nullptr);
}

PaintBuffer::~PaintBuffer() {
    if (!memory_) return;
    ::BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top,
             memory_.get(), area_.left, area_.top, SRCCOPY);
    ::SelectObject(memory_.get(), oldBitmap_);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) noexcept {
    const COLORREF old = ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF color, int thickness) noexcept {
    FillSolid(dc, {rect.left, rect.top, rect.right, rect.top + thickness}, color);
    FillSolid(dc, {rect.left, rect.bottom - thickness, rect.right, rect.bottom}, color);
    FillSolid(dc, {rect.left, rect.top, rect.left + thickness, rect.bottom}, color);
    FillSolid(dc, {rect.right - thickness, rect.top, rect.right, rect.bottom}, color);
}

void FillRounded(HDC dc, const RECT& rect, int radius, COLORREF fill, COLORREF border) noexcept {
    const unique_hbrush brush(::CreateSolidBrush(fill));
    const unique_hpen pen(::CreatePen(PS_SOLID, 1, border));
    const SelectedObject selectBrush(dc, brush.get());
    const SelectedObject selectPen(dc, pen.get());
    // RoundRect leaves the right and bottom edge out; one more pixel keeps it inside `rect`.
    ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, radius * 2, radius * 2);
}

void DrawLineSolid(HDC dc, POINT from, POINT to, COLORREF color, int width) noexcept {
    const unique_hpen pen(::CreatePen(PS_SOLID, width, color));
    const SelectedObject select(dc, pen.get());
    ::MoveToEx(dc, from.x, from.y, nullptr);
    ::LineTo(dc, to.x, to.y);
}

void FillTriangle(HDC dc, const RECT& box, bool pointsUp, COLORREF color) noexcept {
    const int width = box.right - box.left;
    const int half = (width - (width % 2 == 0 ? 1 : 0)) / 2;  // odd width: a crisp apex
    const int height = half + 1;
    const int cx = box.left + half;
    const int top = box.top + (box.bottom - box.top - height) / 2;
    for (int row = 0; row < height; ++row) {
        const int span = pointsUp ? row : height - 1 - row;
        FillSolid(dc, {cx - span, top + row, cx + span + 1, top + row + 1}, color);
    }
}

void DrawTextLine(HDC dc, std::wstring_view text, RECT rect, HFONT font, COLORREF color,
                  UINT align) noexcept {
    const SelectedObject select(dc, font);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc, color);
    ::DrawTextW(dc, text.data(), static_cast<int>(text.size()), &rect,
                align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
}

SIZE MeasureText(HDC dc, std::wstring_view text, HFONT font) noexcept {
    const SelectedObject select(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size;
}

}  // namespace tarvo::ui
