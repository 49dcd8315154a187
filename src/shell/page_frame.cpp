#include "shell/page_frame.h"

#include <algorithm>

#include "ui/gdi.h"
#include "ui/palette.h"

namespace tarvo::shell {

namespace {
int Line(int dpi) noexcept { return std::max(1, dpi / 96); }
}  // namespace

void PaintPageBody(HDC dc, const RECT& client, const RECT& footer, int dpi) noexcept {
    ui::FillSolid(dc, client, ui::palette::kWindow);
    ui::FillSolid(dc, footer, ui::palette::kToolbar);
    ui::FillSolid(dc, {footer.left, footer.top, footer.right, footer.top + Line(dpi)}, ui::palette::kBorder);
}

RECT ChildBounds(HWND parent, HWND child) noexcept {
    RECT bounds{};
    ::GetWindowRect(child, &bounds);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

void PaintListOutline(HDC dc, RECT list, int dpi) noexcept {
    ::InflateRect(&list, Line(dpi), Line(dpi));
    ui::FrameSolid(dc, list, ui::palette::kBorder, Line(dpi));
}

}  // namespace tarvo::shell
