#include "ui/title_bar_layout.h"

#include "ui/window_base.h"

namespace tarvo::ui {

int TitleBarHeight(int dpi) noexcept { return ScaleForDpi(32, dpi); }
int TitleButtonWidth(int dpi) noexcept { return ScaleForDpi(46, dpi); }
int ResizeEdge(int dpi) noexcept { return ScaleForDpi(5, dpi); }

TitleBarLayout LayOutTitleBar(int width, int dpi, unsigned buttons, int height) noexcept {
    TitleBarLayout layout;
    const int barHeight = height > 0 ? height : TitleBarHeight(dpi);
    const int buttonWidth = TitleButtonWidth(dpi);
    layout.bar = {0, 0, width, barHeight};
    int right = width;
    auto place = [&](unsigned flag, RECT& rect) {
        if (!(buttons & flag)) return;
        rect = {right - buttonWidth, 0, right, barHeight};
        right -= buttonWidth;
    };
    place(kTitleClose, layout.close);
    place(kTitleMaximize, layout.maximize);
    place(kTitleMinimize, layout.minimize);
    place(kTitleMenu, layout.menu);
    const int padding = ScaleForDpi(10, dpi);
    const int icon = ScaleForDpi(16, dpi);
    const int iconTop = (barHeight - icon) / 2;
    layout.icon = {padding, iconTop, padding + icon, iconTop + icon};
    layout.caption = {layout.icon.right + ScaleForDpi(8, dpi), 0, right - padding, barHeight};
    if (layout.caption.right < layout.caption.left) layout.caption.right = layout.caption.left;
    return layout;
}

LRESULT TitleHitTest(const TitleBarLayout& layout, POINT p, SIZE client, int dpi, bool resizable,
                     bool maximized) noexcept {
    if (p.x < 0 || p.y < 0 || p.x >= client.cx || p.y >= client.cy) return HTNOWHERE;
    if (resizable && !maximized) {
        const int edge = ResizeEdge(dpi);
        const bool left = p.x < edge;
        const bool right = p.x >= client.cx - edge;
        const bool top = p.y < edge;
        const bool bottom = p.y >= client.cy - edge;
        if (top && left) return HTTOPLEFT;
        if (top && right) return HTTOPRIGHT;
        if (bottom && left) return HTBOTTOMLEFT;
        if (bottom && right) return HTBOTTOMRIGHT;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
        if (bottom) return HTBOTTOM;
        // The top edge belongs to the buttons where they are, so close is hit at the corner.
        if (top && !::PtInRect(&layout.close, p) && !::PtInRect(&layout.maximize, p) &&
            !::PtInRect(&layout.minimize, p) && !::PtInRect(&layout.menu, p)) {
            return HTTOP;
        }
    }
    for (const RECT* button : {&layout.close, &layout.maximize, &layout.minimize, &layout.menu}) {
        if (::PtInRect(button, p)) return HTCLIENT;
    }
    if (::PtInRect(&layout.bar, p)) return HTCAPTION;
    return HTCLIENT;
}

}  // namespace tarvo::ui
