#include "ui/frameless_dialog.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"
#include "ui/title_bar.h"

namespace tarvo::ui {

namespace {
constexpr int kGripSize = 16;  // 96-DPI pixels
constexpr int kEdgeSize = 4;
}  // namespace

void FramelessDialog::SetOwner(HWND owner) noexcept {
    owner_ = owner;
    dpi_ = ScreenDpi();
}

void FramelessDialog::ShowModal() {
    if (!hwnd() || running_) return;
    running_ = true;
    OnModalStart();
    if (owner_) ::EnableWindow(owner_, FALSE);
    RunModalLoop({.window = [this] { return hwnd(); },
                  .keepRunning = [this] { return !ModalEnded(); },
                  .onEscape = [this] { OnEscape(); },
                  .dialogKeys = style_.dialogKeys});
    CloseDialog();
    if (owner_) ::SetForegroundWindow(owner_);
    running_ = false;
}

void FramelessDialog::CloseDialog() noexcept {
    if (!hwnd()) return;
    if (owner_) ::EnableWindow(owner_, TRUE);
    ::DestroyWindow(hwnd());
}

void FramelessDialog::ToggleMaximized() {
    if (!style_.resizable || !hwnd()) return;
    if (maximized_) {
        maximized_ = false;
        const RECT& r = normalBounds_;
        ::SetWindowPos(hwnd(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        ::GetWindowRect(hwnd(), &normalBounds_);
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ::GetMonitorInfoW(::MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &info);
        maximized_ = true;
        const RECT& a = info.rcWork;
        ::SetWindowPos(hwnd(), nullptr, a.left, a.top, a.right - a.left, a.bottom - a.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ApplyRoundedCorners(hwnd(), style_.cornerRadius, dpi_, maximized_);
    OnMaximizedChanged();
}

void FramelessDialog::PaintBodyAndHeading(HDC dc, const RECT& client, std::wstring_view title) const {
    PaintBodyAndHeading(dc, client, title, RECT{Scale(14), 0, client.right - TitleButtonWidth(dpi_), BandHeight()});
}

void FramelessDialog::PaintBodyAndHeading(HDC dc, const RECT& client, std::wstring_view title,
                                          const RECT& titleArea) const {
    FillSolid(dc, client, palette::kWindow);
    FillSolid(dc, RECT{0, 0, client.right, BandHeight()}, palette::kTitleBar);
    DrawTextLine(dc, title, titleArea, SharedFonts().Get(FontRole::Caption, dpi_), palette::kTitleText);
}

void FramelessDialog::PaintFrame(HDC dc, const RECT& client) const {
    if (style_.resizable && !maximized_) {
        // The size grip: three short strokes, kept clear of the rounded corner.
        const int inset = Scale(3), stroke = std::max(1, Scale(1));
        for (const int reach : {6, 10, 14})
            DrawLineSolid(dc, POINT{client.right - Scale(reach), client.bottom - inset},
                          POINT{client.right - inset, client.bottom - Scale(reach)}, palette::kButtonBorder, stroke);
    }
    PaintRoundedFrame(dc, client, style_.cornerRadius, dpi_, maximized_, palette::kWindowFrame);
}

LRESULT FramelessDialog::HitTest(LPARAM screenPoint) const {
    RECT window{};
    ::GetWindowRect(hwnd(), &window);
    const POINT p{GET_X_LPARAM(screenPoint) - window.left, GET_Y_LPARAM(screenPoint) - window.top};
    const int w = window.right - window.left, h = window.bottom - window.top;
    if (style_.resizable && !maximized_) {
        const int grip = Scale(kGripSize), edge = Scale(kEdgeSize);
        if (p.x >= w - grip && p.y >= h - grip) return HTBOTTOMRIGHT;
        if (p.x < edge) return p.y < edge ? HTTOPLEFT : (p.y >= h - edge ? HTBOTTOMLEFT : HTLEFT);
        if (p.x >= w - edge) return p.y < edge ? HTTOPRIGHT : HTRIGHT;
        if (p.y < edge) return HTTOP;
        if (p.y >= h - edge) return HTBOTTOM;
    }
    if (p.y >= 0 && p.y < HeadingBandHeight()) return HeadingBandMoves() && !maximized_ ? HTCAPTION : HTCLIENT;
    return HTCLIENT;
}

LRESULT FramelessDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        ApplyRoundedCorners(hwnd(), style_.cornerRadius, dpi_, maximized_);
        break;
    case WM_NCHITTEST:
        if (const auto handled = OnMessage(message, wParam, lParam)) return *handled;
        return HitTest(lParam);
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) ApplyRoundedCorners(hwnd(), style_.cornerRadius, dpi_, maximized_);
        break;
    default:
        break;
    }
    if (style_.resizable) {
        switch (message) {
        case WM_NCCALCSIZE:
            // No frame of the system's: the whole window is ours to draw, and the thick frame
            // style is kept only so the window can be sized.
            if (wParam) return 0;
            break;
        case WM_NCLBUTTONDBLCLK:
            if (wParam == HTCAPTION || (maximized_ && wParam == HTCLIENT)) {
                ToggleMaximized();
                return 0;
            }
            break;
        case WM_LBUTTONDBLCLK:
            if (GET_Y_LPARAM(lParam) < HeadingBandHeight()) {
                ToggleMaximized();
                return 0;
            }
            break;
        case WM_WINDOWPOSCHANGING: {
            // Every resize, by the grip or by a program, stops at the smallest usable size.
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            if (pos && !(pos->flags & SWP_NOSIZE)) {
                pos->cx = std::max(pos->cx, Scale(style_.minimum.cx));
                pos->cy = std::max(pos->cy, Scale(style_.minimum.cy));
            }
            break;
        }
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{Scale(style_.minimum.cx), Scale(style_.minimum.cy)};
            return 0;
        default:
            break;
        }
    }
    return WindowBase::HandleMessage(message, wParam, lParam);
}

}  // namespace tarvo::ui
