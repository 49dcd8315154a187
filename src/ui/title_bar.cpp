#include "ui/title_bar.h"

#include <windowsx.h>

#include "ui/font_cache.h"
#include "ui/gdi.h"
#include "ui/palette.h"
#include "ui/tool_hints.h"

namespace tarvo::ui {

void PaintTitleBar(HDC dc, const TitleBarLayout& layout, const std::wstring& caption, HICON icon,
                   int dpi, HFONT font) noexcept {
    FillSolid(dc, layout.bar, palette::kTitleBar);
    if (icon) {
        ::DrawIconEx(dc, layout.icon.left, layout.icon.top, icon, layout.icon.right - layout.icon.left,
                     layout.icon.bottom - layout.icon.top, 0, nullptr, DI_NORMAL);
    }
    RECT text = layout.caption;
    if (!icon) text.left = layout.icon.left;
    (void)dpi;
    DrawTextLine(dc, caption, text, font, palette::kTitleText);
}

namespace {
int CornerDiameter(int radius, int dpi) { return 2 * ScaleForDpi(radius, dpi); }
}  // namespace

void ApplyRoundedCorners(HWND window, int radius, int dpi, bool maximized) noexcept {
    RECT bounds{};
    if (!::GetWindowRect(window, &bounds)) return;
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (maximized || radius <= 0) {
        ::SetWindowRgn(window, nullptr, TRUE);
        return;
    }
    const int diameter = CornerDiameter(radius, dpi);
    // The window owns the region after SetWindowRgn succeeds; only a refused one is ours to free.
    const HRGN region = ::CreateRoundRectRgn(0, 0, width + 1, height + 1, diameter, diameter);
    if (region && !::SetWindowRgn(window, region, TRUE)) ::DeleteObject(region);
}

void PaintRoundedFrame(HDC dc, const RECT& client, int radius, int dpi, bool maximized, COLORREF color) noexcept {
    const unique_hbrush brush(::CreateSolidBrush(color));
    if (maximized || radius <= 0) {
        FrameSolid(dc, client, color);
        return;
    }
    const int diameter = CornerDiameter(radius, dpi);
    const unique_hrgn outline(::CreateRoundRectRgn(client.left, client.top, client.right + 1, client.bottom + 1,
                                                   diameter, diameter));
    ::FrameRgn(dc, outline.get(), brush.get(), 1, 1);
}

bool TitleBar::Create(HWND host, unsigned buttons, int dpi, int firstId) {
    host_ = host;
    buttons_ = buttons;
    dpi_ = dpi;
    const RECT none{0, 0, 1, 1};
    auto make = [&](ImageButton& button, unsigned flag, Glyph glyph, ButtonStyle style, int id,
                    std::function<void()>& handler) {
        if (!(buttons & flag)) return true;
        ButtonFace face;
        face.style = style;
        face.glyph = glyph;
        if (!button.Create(host, id, none, face, dpi)) return false;
        // Caption buttons are reached with the system keys, not with Tab.
        ::SetWindowLongW(button.hwnd(), GWL_STYLE, ::GetWindowLongW(button.hwnd(), GWL_STYLE) & ~WS_TABSTOP);
        button.onClick = [&handler] {
            if (handler) handler();
        };
        return true;
    };
    const bool made = make(menu_, kTitleMenu, Glyph::Menu, ButtonStyle::Caption, firstId, onMenu) &&
                      make(minimize_, kTitleMinimize, Glyph::Minimize, ButtonStyle::Caption, firstId + 1, onMinimize) &&
                      make(maximize_, kTitleMaximize, Glyph::Maximize, ButtonStyle::Caption, firstId + 2, onMaximize) &&
                      make(close_, kTitleClose, Glyph::Close, ButtonStyle::CaptionClose, firstId + 3, onClose);
    RECT client{};
    ::GetClientRect(host, &client);
    LayOut(client.right);
    return made;
}

void TitleBar::SetCaption(std::wstring caption) {
    caption_ = std::move(caption);
    if (host_) ::InvalidateRect(host_, &layout_.caption, FALSE);
}

void TitleBar::SetMaximized(bool maximized) {
    maximized_ = maximized;
    maximize_.SetGlyph(maximized ? Glyph::Restore : Glyph::Maximize);
    if (tipsAdded_ && maximize_.hwnd()) tips_.Update(maximize_.hwnd(), maximized ? hints_.restore : hints_.maximize);
}

void TitleBar::SetHints(Hints hints) {
    hints_ = std::move(hints);
    if (!host_) return;
    const std::pair<ImageButton*, const std::wstring*> buttons[] = {
        {&menu_, &hints_.menu},
        {&minimize_, &hints_.minimize},
        {&maximize_, maximized_ ? &hints_.restore : &hints_.maximize},
        {&close_, &hints_.close}};
    for (const auto& [button, text] : buttons) {
        if (!button->hwnd()) continue;
        if (tipsAdded_) tips_.Update(button->hwnd(), *text);
        else tips_.Add(host_, button->hwnd(), *text);
    }
    tipsAdded_ = true;
}

void TitleBar::SetDpi(int dpi) {
    dpi_ = dpi;
    for (ImageButton* button : {&menu_, &minimize_, &maximize_, &close_}) button->SetDpi(dpi);
    RECT client{};
    if (host_) ::GetClientRect(host_, &client);
    LayOut(client.right);
}

void TitleBar::SetHeight(int height) {
    height_ = height;
    RECT client{};
    if (host_) ::GetClientRect(host_, &client);
    LayOut(client.right);
}

void TitleBar::LayOut(int width) {
    layout_ = LayOutTitleBar(width, dpi_, buttons_, height_ > 0 ? ScaleForDpi(height_, dpi_) : 0);
    menu_.Move(layout_.menu);
    minimize_.Move(layout_.minimize);
    maximize_.Move(layout_.maximize);
    close_.Move(layout_.close);
    if (host_) ::InvalidateRect(host_, &layout_.bar, FALSE);
}

void TitleBar::Paint(HDC dc) const {
    PaintTitleBar(dc, layout_, caption_, icon_, dpi_, SharedFonts().Get(FontRole::Caption, dpi_));
}

LRESULT TitleBar::HitTest(LPARAM screenPoint, bool resizable) const {
    POINT p{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    ::ScreenToClient(host_, &p);
    RECT client{};
    ::GetClientRect(host_, &client);
    return TitleHitTest(layout_, p, {client.right, client.bottom}, dpi_, resizable, maximized_);
}

LRESULT HeadingBandHitTest(HWND window, LPARAM screenPoint, int bandHeight) noexcept {
    POINT p{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    ::ScreenToClient(window, &p);
    return p.y < bandHeight ? HTCAPTION : HTCLIENT;
}

void CreateHeadingCloseButton(ImageButton& button, HWND dialog, int id, const RECT& bounds, int dpi,
                              const std::wstring& hint) {
    const ButtonFace face{.style = ButtonStyle::CaptionClose, .glyph = Glyph::Close, .text = {}};
    button.Create(dialog, id, bounds, face, dpi);
    button.SetBackground(palette::kTitleBar);
    ::SetWindowLongW(button.hwnd(), GWL_STYLE, ::GetWindowLongW(button.hwnd(), GWL_STYLE) & ~WS_TABSTOP);
    ToolHints().Add(dialog, button.hwnd(), hint);
}

}  // namespace tarvo::ui
