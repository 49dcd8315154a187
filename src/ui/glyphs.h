#pragma once
// Small line-drawn symbols for buttons. Drawn with GDI rectangles and lines rather than a
// symbol font, so they stay crisp at every DPI and need no font that XP lacks.

#include <windows.h>

namespace tarvo::ui {

enum class Glyph { None, Minimize, Maximize, Restore, Close, Clear, Search, Menu, ChevronDown };

// Side of the square a glyph fills at a DPI (10 pixels at 96 DPI; the clear cross is smaller).
[[nodiscard]] int GlyphSize(Glyph glyph, int dpi) noexcept;
// Stroke width at a DPI: one device pixel up to 150 %, then whole multiples.
[[nodiscard]] int GlyphStroke(int dpi) noexcept;
// The square a glyph occupies when centred in `box`.
[[nodiscard]] RECT GlyphBox(const RECT& box, Glyph glyph, int dpi) noexcept;

void DrawGlyph(HDC dc, const RECT& box, Glyph glyph, COLORREF color, int dpi) noexcept;

}  // namespace tarvo::ui
