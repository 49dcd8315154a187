#include "ui/button_paint.h"

#include "ui/gdi.h"
#include "ui/palette.h"
#include "ui/window_base.h"

namespace tarvo::ui {

ButtonColors ColorsFor(ButtonStyle style, const VisualState& s) noexcept {
    using namespace palette;
    switch (style) {
        case ButtonStyle::Caption:
            if (s.pressed) return {kTitleButtonPressed, kTitleButtonPressed, kTitleText};
            if (s.hot) return {kTitleButtonHot, kTitleButtonHot, kTitleText};
            return {kTitleBar, kTitleBar, s.disabled ? kTitleButtonHot : kTitleText};
        case ButtonStyle::CaptionClose:
            if (s.pressed) return {kClosePressed, kClosePressed, kTitleText};
            if (s.hot) return {kCloseHot, kCloseHot, kTitleText};
            return {kTitleBar, kTitleBar, kTitleText};
        case ButtonStyle::Page:
            if (s.checked) return {kWindow, kWindow, kAccent};
            if (s.pressed) return {kTitleButtonPressed, kTitleButtonPressed, kTitleText};
            if (s.hot) return {kTitleButtonHot, kTitleButtonHot, kTitleText};
            return {kTitleBar, kTitleBar, kTitleText};
        case ButtonStyle::Primary:
            if (s.disabled) return {kButtonPressed, kButtonPressed, kWindow};
            if (s.pressed) return {kAccentPressed, kAccentPressed, kAccentText};
            if (s.hot) return {kAccentHot, kAccentHot, kAccentText};
            return {kAccent, kAccent, kAccentText};
        case ButtonStyle::Secondary:
            if (s.disabled) return {kButton, kBorder, kTextDisabled};
            if (s.pressed) return {kButtonPressed, kAccentPressed, kText};
            if (s.hot) return {kButtonHot, kButtonBorderHot, kText};
            return {kButton, kButtonBorder, kText};
        case ButtonStyle::Flat:
            if (s.disabled) return {kWindow, kWindow, kTextDisabled};
            if (s.pressed) return {kButtonPressed, kButtonPressed, kText};
            if (s.hot) return {kButtonHot, kButtonHot, kText};
            return {kWindow, kWindow, kTextSecondary};
    }
    return {kButton, kButtonBorder, kText};
}

void PaintButton(HDC dc, const RECT& rect, const ButtonFace& face, const VisualState& state,
                 int dpi, HFONT font, COLORREF background) noexcept {
    const ButtonColors colors = ColorsFor(face.style, state);
    const bool square = face.style == ButtonStyle::Caption || face.style == ButtonStyle::CaptionClose;
    FillSolid(dc, rect, background);
    if (square) {
        FillSolid(dc, rect, colors.fill);
    } else if (face.style == ButtonStyle::Page) {
        // The current page joins the window body below it: rounded top, square bottom.
        const int radius = ScaleForDpi(4, dpi);
        FillRounded(dc, {rect.left, rect.top, rect.right, rect.bottom + radius * 2}, radius,
                    colors.fill, colors.fill);
    } else {
        FillRounded(dc, rect, ScaleForDpi(3, dpi), colors.fill, colors.border);
    }

    RECT content = rect;
    const int gap = ScaleForDpi(6, dpi);
    const SIZE textSize = face.text.empty() ? SIZE{} : MeasureText(dc, face.text, font);
    const int iconSize = face.icon ? ScaleForDpi(16, dpi) : 0;
    const int glyphSize = face.glyph != Glyph::None ? GlyphSize(face.glyph, dpi) : 0;
    const int leading = iconSize ? iconSize : glyphSize;
    if (face.text.empty()) {
        if (face.icon) {
            const int x = rect.left + (rect.right - rect.left - iconSize) / 2;
            const int y = rect.top + (rect.bottom - rect.top - iconSize) / 2;
            ::DrawIconEx(dc, x, y, face.icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
        } else {
            DrawGlyph(dc, rect, face.glyph, colors.text, dpi);
        }
    } else {
        const int total = textSize.cx + (leading ? leading + gap : 0);
        int x = rect.left + (rect.right - rect.left - total) / 2;
        if (x < rect.left + gap) x = rect.left + gap;
        if (face.icon) {
            ::DrawIconEx(dc, x, rect.top + (rect.bottom - rect.top - iconSize) / 2, face.icon,
                         iconSize, iconSize, 0, nullptr, DI_NORMAL);
        } else if (glyphSize) {
            DrawGlyph(dc, {x, rect.top, x + glyphSize, rect.bottom}, face.glyph, colors.text, dpi);
        }
        if (leading) x += leading + gap;
        content.left = x;
        content.right = rect.right - gap / 2;
        DrawTextLine(dc, face.text, content, font, colors.text, DT_LEFT);
    }

    if (state.focused) {
        RECT focus = rect;
        const int inset = ScaleForDpi(3, dpi);
        ::InflateRect(&focus, -inset, -inset);
        const COLORREF oldText = ::SetTextColor(dc, RGB(0, 0, 0));
        const COLORREF oldBack = ::SetBkColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &focus);
        ::SetTextColor(dc, oldText);
        ::SetBkColor(dc, oldBack);
    }
}

}  // namespace tarvo::ui
