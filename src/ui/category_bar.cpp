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
        case WM_MOUSEMOVE: {
            if (!trackingLeave_) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
                trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
            }
            if (model_.tracker().Move(model_.HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))) Redraw();
            return 0;
        }
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            if (model_.tracker().Leave()) Redraw();
            return 0;
        case WM_LBUTTONDOWN: {
            const int part = model_.HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            if (part != HotTracker::kNone) {
                model_.tracker().Press(part);
                ::SetCapture(hwnd());
                Redraw();
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            const int clicked = model_.tracker().Release(model_.HitTest({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
            if (::GetCapture() == hwnd()) ::ReleaseCapture();
            Redraw();
            if (clicked != HotTracker::kNone && model_.Select(clicked)) {
                Redraw();
                if (onSelect) onSelect(clicked);
            }
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (model_.tracker().Cancel()) Redraw();
            return 0;
        default:
            return std::nullopt;
    }
}

}  // namespace tarvo::ui
