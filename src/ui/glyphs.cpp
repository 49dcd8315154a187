#include "ui/glyphs.h"

#include <algorithm>

#include "ui/gdi.h"
#include "ui/window_base.h"

namespace tarvo::ui {

int GlyphSize(Glyph glyph, int dpi) noexcept {
    switch (glyph) {
        case Glyph::Clear: return ScaleForDpi(8, dpi);
        case Glyph::Search: return ScaleForDpi(12, dpi);
        case Glyph::ChevronDown: return ScaleForDpi(8, dpi);
        default: return ScaleForDpi(10, dpi);
    }
}

int GlyphStroke(int dpi) noexcept { return std::max(1, dpi / 96); }

RECT GlyphBox(const RECT& box, Glyph glyph, int dpi) noexcept {
    const int size = GlyphSize(glyph, dpi);
    const int left = box.left + (box.right - box.left - size) / 2;
    const int top = box.top + (box.bottom - box.top - size) / 2;
    return {left, top, left + size, top + size};
}

namespace {

// A diagonal made of stroke-sized squares: GDI's wide pens round their ends unevenly.
void Diagonal(HDC dc, int x, int y, int length, int dx, int stroke, COLORREF color) {
    for (int i = 0; i < length; ++i) {
        const int px = x + i * dx;
        const int py = y + i;
        FillSolid(dc, {px, py, px + stroke, py + stroke}, color);
    }
}

}  // namespace

void DrawGlyph(HDC dc, const RECT& box, Glyph glyph, COLORREF color, int dpi) noexcept {
    if (glyph == Glyph::None) return;
    const RECT g = GlyphBox(box, glyph, dpi);
    const int size = g.right - g.left;
    const int stroke = GlyphStroke(dpi);
    switch (glyph) {
        case Glyph::Minimize: {
            const int y = g.top + size / 2;
            FillSolid(dc, {g.left, y, g.right, y + stroke}, color);
            break;
        }
        case Glyph::Maximize:
            FrameSolid(dc, g, color, stroke);
            break;
        case Glyph::Restore: {
            const int offset = std::max(2, size / 5);
            const RECT front{g.left, g.top + offset, g.right - offset, g.bottom};
            FrameSolid(dc, front, color, stroke);
            // The back window shows only above and to the right of the front one.
            FillSolid(dc, {g.left + offset, g.top, g.right, g.top + stroke}, color);
            FillSolid(dc, {g.right - stroke, g.top, g.right, g.bottom - offset}, color);
            FillSolid(dc, {g.left + offset, g.top, g.left + offset + stroke, g.top + offset}, color);
            FillSolid(dc, {g.right - offset, g.bottom - offset - stroke, g.right, g.bottom - offset}, color);
            break;
        }
        case Glyph::Close:
        case Glyph::Clear: {
            const int length = size - stroke + 1;
            Diagonal(dc, g.left, g.top, length, 1, stroke, color);
            Diagonal(dc, g.right - stroke, g.top, length, -1, stroke, color);
            break;
        }
        case Glyph::Search: {
            const int lens = size * 2 / 3 + 1;
            const unique_hpen pen(::CreatePen(PS_SOLID, stroke, color));
            const SelectedObject selectPen(dc, pen.get());
            const SelectedObject selectBrush(dc, ::GetStockObject(NULL_BRUSH));
            ::Ellipse(dc, g.left, g.top, g.left + lens, g.top + lens);
            // The handle is one pixel heavier than the lens at 100 %, where a single pixel
            // looks frail, and ends flush with the glyph's corner.
            const int start = lens - lens / 6 - stroke;
            const int handle = stroke > 1 ? stroke : stroke + 1;
            Diagonal(dc, g.left + start, g.top + start, size - start - handle + 1, 1, handle, color);
            break;
        }
        case Glyph::Menu: {
            for (int line = 0; line < 3; ++line) {
                const int y = g.top + 1 + line * (size - 2 - stroke) / 2;
                FillSolid(dc, {g.left, y, g.right, y + stroke}, color);
            }
            break;
        }
        case Glyph::ChevronDown: {
            const int half = size / 2;
            const int top = g.top + (size - half) / 2;
            Diagonal(dc, g.left, top, half, 1, stroke + 1, color);
            Diagonal(dc, g.right - stroke - 1, top, half, -1, stroke + 1, color);
            break;
        }
        case Glyph::None: break;
    }
}

}  // namespace tarvo::ui
