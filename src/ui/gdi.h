#pragma once
// Owners for GDI objects, window DCs, menus and image lists, and the few drawing primitives
// every painter shares. Painters take a device context, a rectangle, a state and a DPI;
// nothing here keeps a window.

#include <windows.h>
#include <commctrl.h>

#include <string_view>

#include "platform/shell.h"
#include "platform/unique_handle.h"

namespace tarvo::ui {

namespace traits {
template <typename T>
struct gdi_object {
    using type = T;
    static T invalid() noexcept { return nullptr; }
    static void close(T h) noexcept { ::DeleteObject(h); }
};
struct memory_dc {
    using type = HDC;
    static HDC invalid() noexcept { return nullptr; }
    static void close(HDC h) noexcept { ::DeleteDC(h); }
};
struct menu {
    using type = HMENU;
    static HMENU invalid() noexcept { return nullptr; }
    static void close(HMENU h) noexcept { ::DestroyMenu(h); }
};
struct image_list {
    using type = HIMAGELIST;
    static HIMAGELIST invalid() noexcept { return nullptr; }
    static void close(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
};
}  // namespace traits

using unique_hfont = platform::unique_any<traits::gdi_object<HFONT>>;
using unique_hpen = platform::unique_any<traits::gdi_object<HPEN>>;
using unique_hbrush = platform::unique_any<traits::gdi_object<HBRUSH>>;
using unique_hbitmap = platform::unique_any<traits::gdi_object<HBITMAP>>;
using unique_hrgn = platform::unique_any<traits::gdi_object<HRGN>>;
using unique_hdc = platform::unique_any<traits::memory_dc>;
using unique_hicon = platform::unique_hicon;  // one owner type for icons, whoever extracts them
// A menu and the submenus it holds; a submenu appended to one is no longer its own owner's.
using unique_hmenu = platform::unique_any<traits::menu>;
using unique_himagelist = platform::unique_any<traits::image_list>;

// GetDC for one scope, ReleaseDC when it goes; a null window means the screen.
class unique_window_dc {
public:
    explicit unique_window_dc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    unique_window_dc(const unique_window_dc&) = delete;
    unique_window_dc& operator=(const unique_window_dc&) = delete;
    ~unique_window_dc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }

    [[nodiscard]] HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for one scope and puts the old one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { ::SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint for one WM_PAINT, EndPaint when it goes out of scope, so no path through a
// painter leaves the update region unvalidated.
class unique_hdc_paint {
public:
    explicit unique_hdc_paint(HWND window) noexcept : window_(window), dc_(::BeginPaint(window, &paint_)) {}
    unique_hdc_paint(const unique_hdc_paint&) = delete;
    unique_hdc_paint& operator=(const unique_hdc_paint&) = delete;
    ~unique_hdc_paint() { ::EndPaint(window_, &paint_); }

    [[nodiscard]] HDC get() const noexcept { return dc_; }
    [[nodiscard]] const RECT& area() const noexcept { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Paints into a memory bitmap and copies it to the target in one blit when it goes out of
// scope, so a repaint never flickers through a half-drawn state.
class PaintBuffer {
public:
    PaintBuffer(HDC target, const RECT& area) noexcept;
    PaintBuffer(const PaintBuffer&) = delete;
    PaintBuffer& operator=(const PaintBuffer&) = delete;
    ~PaintBuffer();

    // The DC to draw on, with the same coordinates as the target; the target itself when the
    // memory bitmap could not be made.
    [[nodiscard]] HDC dc() const noexcept { return memory_ ? memory_.get() : target_; }

private:
    HDC target_;
    RECT area_;
    unique_hdc memory_;
    unique_hbitmap bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
};

void FillSolid(HDC dc, const RECT& rect, COLORREF color) noexcept;
// A one-device-pixel-thick (or `thickness`) frame drawn inside the rectangle.
void FrameSolid(HDC dc, const RECT& rect, COLORREF color, int thickness = 1) noexcept;
void FillRounded(HDC dc, const RECT& rect, int radius, COLORREF fill, COLORREF border) noexcept;
void DrawLineSolid(HDC dc, POINT from, POINT to, COLORREF color, int width = 1) noexcept;
// A filled triangle pointing up or down, centred in the rectangle: the sort arrow.
void FillTriangle(HDC dc, const RECT& box, bool pointsUp, COLORREF color) noexcept;
// Single-line text with end ellipsis, transparent background.
void DrawTextLine(HDC dc, std::wstring_view text, RECT rect, HFONT font, COLORREF color,
                  UINT align = DT_LEFT) noexcept;
[[nodiscard]] SIZE MeasureText(HDC dc, std::wstring_view text, HFONT font) noexcept;

}  // namespace tarvo::ui
