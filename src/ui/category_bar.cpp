#include "ui/category_bar.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"

namespace tarvo::ui {

void PaintCategoryBar(HDC dc, const RECT& client, const CategoryBarModel& model, int dpi,
                      HFONT normal, HFONT current, const CategoryBarLook& look) noexcept {
    FillSolid(dc, client, look.background);
    const int line = std::max(1, dpi / 96);
    FillSolid(dc, {client.left, client.bottom - line, client.right, client.bottom}, look.baseline);
    const auto& rects = model.labelRects();
    for (size_t i = 0; i < rects.size() && i < model.labels().size(); ++i) {
        const int index = static_cast<int>(i);
        RECT r = rects[i];
        r.bottom = client.bottom;
        const bool isCurrent = index == model.current();
        const bool hot = model.tracker().LooksHot(index) || model.tracker().LooksPressed(index);
        if (hot && !isCurrent) {
            RECT glow = r;
            glow.bottom -= line;
            FillSolid(dc, glow, palette::kRowHot);
        }
        const COLORREF color = isCurrent ? palette::kAccent : hot ? palette::kText : palette::kTextSecondary;
        DrawTextLine(dc, model.labels()[i], r, isCurrent ? current : normal, color, DT_CENTER);
    }
    const RECT underline = model.UnderlineRect();
    if (underline.right > underline.left) {
        RECT u = underline;
        u.top += client.bottom - u.bottom;
        u.bottom = client.bottom;
        FillSolid(dc, u, palette::kAccent);
    }
}

bool CategoryBar::Create(HWND parent, int id, const RECT& bounds, std::vector<std::wstring> labels, int dpi) {
    dpi_ = dpi;
    look_ = {palette::kWindow, palette::kBorder};
    model_.SetLabels(std::move(labels));
    if (!CreateChild(kClassName, parent, id, WS_VISIBLE, 0, bounds)) return false;
    LayOut(false);
    return true;
}

void CategoryBar::SetLabels(std::vector<std::wstring> labels) { model_.SetLabels(std::move(labels)); }

void CategoryBar::LayOut(bool markCurrent) {
    if (!hwnd()) return;
    std::vector<int> widths;
    {
        const unique_window_dc dc(hwnd());
        // Every label is measured in the emphasised font so that it keeps its width when it
        // becomes current.
        const HFONT font = SharedFonts().Get(FontRole::Emphasis, dpi_);
        for (const auto& label : model_.labels()) widths.push_back(MeasureText(dc.get(), label, font).cx);
    }
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    model_.LayOut(widths, client.bottom, dpi_, markCurrent);
    Redraw();
}

bool CategoryBar::Select(int index) {
    if (!model_.Select(index)) return false;
    Redraw();
    return true;
}

void CategoryBar::SetDpi(int dpi) {
    dpi_ = dpi;
    LayOut(false);
}

void CategoryBar::Move(const RECT& b) {
    if (!hwnd()) return;
    ::MoveWindow(hwnd(), b.left, b.top, b.right - b.left, b.bottom - b.top, TRUE);
    LayOut(false);
}

void CategoryBar::Redraw() {
    if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void CategoryBar::OnPaint(HDC dc) {
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const PaintBuffer buffer(dc, client);
    PaintCategoryBar(buffer.dc(), client, model_, dpi_, SharedFonts().Get(FontRole::Body, dpi_),
                     SharedFonts().Get(FontRole::Emphasis, dpi_), look_);
}

void CategoryBar::OnSize(UINT /*type*/, int /*width*/, int /*height*/) { LayOut(false); }

void CategoryBar::OnMouseMove(POINT at) {
    if (model_.tracker().Move(model_.HitTest(at))) Redraw();
}

void CategoryBar::OnMouseLeave() {
    if (model_.tracker().Leave()) Redraw();
}

void CategoryBar::OnMouseDown(POINT at, bool doubleClick) {
    // A double click is two presses to the bar, as before: only the first one presses a label.
    if (doubleClick) return;
    const int part = model_.HitTest(at);
    if (part == HotTracker::kNone) return;
    model_.tracker().Press(part);
    CaptureMouse();
    Redraw();
}

void CategoryBar::OnMouseUp(POINT at) {
    const int clicked = model_.tracker().Release(model_.HitTest(at));
    ReleaseMouse();
    Redraw();
    if (clicked != HotTracker::kNone && model_.Select(clicked)) {
        Redraw();
        if (onSelect) onSelect(clicked);
    }
}

void CategoryBar::OnCaptureLost() {
    if (model_.tracker().Cancel()) Redraw();
}

std::optional<LRESULT> CategoryBar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR: {
            POINT p{};
            ::GetCursorPos(&p);
            ::ScreenToClient(hwnd(), &p);
            if (model_.HitTest(p) != HotTracker::kNone) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            return DefaultHandling(message, wParam, lParam);
        }
        default:
            return std::nullopt;
    }
}

}  // namespace tarvo::ui
