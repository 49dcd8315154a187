#pragma once
// The floating round button's picture, drawn in code at any DPI: a soft shadow, a colour
// ring and a black button in three looks, with a caption and its one-pixel shadow. The
// result is a top-down 32-bit image with premultiplied alpha, ready for a layered window.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::ui {

struct RoundButtonParts {
    SIZE size{};   // the whole image
    RECT ring{};   // bounding square of the colour ring
    RECT button{}; // bounding square of the black button
    int dpi = 96;
};

// Premultiplied BGRA pixels, one per std::uint32_t, rows top to bottom.
using PremultipliedImage = std::vector<std::uint32_t>;

// look: 0 normal, 1 under the mouse, 2 pressed. Pixels outside the shapes are fully
// transparent, so clicks there reach the window below.
[[nodiscard]] PremultipliedImage PaintRoundButton(const RoundButtonParts& parts, int look);

// Draws `text` centred in `rect`: first in black one (scaled) pixel lower, then in `color`.
// GDI renders the glyphs as coverage on a grey-scale canvas, which then tints the image,
// so the letters keep their smooth edges over the transparent window.
void DrawButtonCaption(PremultipliedImage& image, SIZE size, const std::wstring& text, RECT rect, int dpi,
                       COLORREF color);

// UpdateLayeredWindow with the image at `position` (screen coordinates), per-pixel alpha and
// constant alpha 255; adds WS_EX_LAYERED first when the window lacks it. False on failure.
bool ShowLayeredImage(HWND window, POINT position, SIZE size, const PremultipliedImage& image) noexcept;

}  // namespace tarvo::ui
