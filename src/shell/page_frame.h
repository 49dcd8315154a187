#pragma once
// What the main window's pages paint alike: the white body, the footer band with its top
// line, and the outline that makes a list and its header read as one panel.

#include <windows.h>

namespace tarvo::shell {

void PaintPageBody(HDC dc, const RECT& client, const RECT& footer, int dpi) noexcept;
// A child window's bounds in its parent's client coordinates.
[[nodiscard]] RECT ChildBounds(HWND parent, HWND child) noexcept;
void PaintListOutline(HDC dc, RECT list, int dpi) noexcept;

}  // namespace tarvo::shell
