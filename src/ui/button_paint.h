#pragma once
// How a button looks in each state. The colours are decided by a plain function so that the
// rules (the close button turns red, a disabled button greys its text) are checked by tests.

#include <windows.h>

#include <string>

#include "ui/glyphs.h"
#include "ui/hot_tracker.h"

namespace tarvo::ui {

enum class ButtonStyle {
    Caption,       // minimise/maximise/menu in the title area: flat on the title colour
    CaptionClose,  // close in the title area: red when hot
    Primary,       // filled with the accent colour
    Secondary,     // white with a border, accent border when hot
    Flat,          // no border until hot: tool buttons, the clear button of a search box
    Page,          // page switch in the title area; `checked` marks the current page
};

struct ButtonFace {
    ButtonStyle style = ButtonStyle::Secondary;
    Glyph glyph = Glyph::None;
    std::wstring text;
    HICON icon = nullptr;  // borrowed; drawn left of the text at 16 px scaled
};

struct ButtonColors {
    COLORREF fill;
    COLORREF border;  // equal to fill: no visible border
    COLORREF text;
};

[[nodiscard]] ButtonColors ColorsFor(ButtonStyle style, const VisualState& state) noexcept;

// `background` is what lies behind the button, for the corners of rounded styles.
void PaintButton(HDC dc, const RECT& rect, const ButtonFace& face, const VisualState& state,
                 int dpi, HFONT font, COLORREF background) noexcept;

}  // namespace tarvo::ui
