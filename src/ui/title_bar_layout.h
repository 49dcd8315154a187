#pragma once
// Geometry of the title area of our borderless windows, without a window: where the icon,
// the caption and the minimise/maximise/close buttons go, and what each point of the window
// means to Windows (dragging by the caption, resizing at the edges).

#include <windows.h>

namespace tarvo::ui {

enum TitleButtons : unsigned {
    kTitleMenu = 1,
    kTitleMinimize = 2,
    kTitleMaximize = 4,
    kTitleClose = 8,
    kTitleAll = kTitleMenu | kTitleMinimize | kTitleMaximize | kTitleClose,
};

struct TitleBarLayout {
    RECT bar{};       // the whole title area
    RECT icon{};      // the program icon
    RECT caption{};   // the caption text, between the icon and the first button
    RECT menu{};      // each button; empty when the window has none
    RECT minimize{};
    RECT maximize{};
    RECT close{};
};

// Height of the title area and width of one button at a DPI.
[[nodiscard]] int TitleBarHeight(int dpi) noexcept;
[[nodiscard]] int TitleButtonWidth(int dpi) noexcept;
// Width of the edge that resizes a resizable window.
[[nodiscard]] int ResizeEdge(int dpi) noexcept;

// Buttons sit flush with the top right corner, close rightmost; the caption gets the rest.
[[nodiscard]] TitleBarLayout LayOutTitleBar(int width, int dpi, unsigned buttons, int height = 0) noexcept;

// The WM_NCHITTEST answer for a client point: the edges of a resizable, non-maximised window
// resize it; the title area outside the buttons drags it (HTCAPTION); everything else is
// client area, buttons included, since they are our own controls.
[[nodiscard]] LRESULT TitleHitTest(const TitleBarLayout& layout, POINT point, SIZE client, int dpi,
                                   bool resizable, bool maximized) noexcept;

}  // namespace tarvo::ui
